#pragma once

#include <QCoreApplication>

#include <memory>

// The application object of a command-line program that draws pages (a PDF):
// one with the painter's fonts, on the offscreen platform unless the user
// chose a platform, so it runs without a display.
std::unique_ptr<QCoreApplication> MakePageApplication(int& argc, char** argv);
