#pragma once

#include <QString>

// What this build of the programs is: the version (the project's version in
// CMakeLists.txt, the one source for every program, the About box and the
// package) and the day it was built (YYYY-MM-DD, UTC).
namespace BuildInfo {

QString Version();
QString BuildDate();

// "plu-cli 1.24\n": the line every program prints for --version.
QString VersionLine(const QString& program);

} // namespace BuildInfo
