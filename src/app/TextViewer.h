#pragma once

#include <QString>

// Shows a text file to the operator without waiting: in "notepad.exe" when
// that viewer is installed, otherwise in whatever the desktop opens text
// files with.
void OpenInTextViewer(const QString& path);
