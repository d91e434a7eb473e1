#pragma once

#include <memory>

class QCoreApplication;

// The application object of a command-line program's run that draws pages:
// a GUI application on the offscreen platform (unless QT_QPA_PLATFORM names
// another), so it runs without a display.
std::unique_ptr<QCoreApplication> MakeOffscreenApplication(int& argc, char** argv);
