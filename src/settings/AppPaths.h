#pragma once

#include <QString>

// Where the program keeps its own files: SYSTEM.CFG, DEBUG.LOG, the language
// file and the dump files all lie in the folder of the executable, whatever the
// working directory is.
namespace AppPaths {

// The executable's folder with a trailing '/'. Taken from the running
// application; tests and tools may point it elsewhere with SetProgramDir.
QString ProgramDir();

// Replaces the program folder for the rest of the run (tests, plu-cli
// --settings). An empty text returns to the executable's folder.
void SetProgramDir(const QString& dir);

// A file in the program folder: ProgramDir() + name.
QString ProgramFile(const QString& name);

// The settings file, ProgramDir() + "SYSTEM.CFG".
QString SettingsPath();

// The link trace, ProgramDir() + "DEBUG.LOG".
QString TracePath();

} // namespace AppPaths
