#pragma once

#include <QString>

// Where the program keeps its own files.
//
// Portable layout (a build tree, or the programs copied into any folder):
// SYSTEM.CFG, DEBUG.LOG, the language file and the dump's work files all lie
// in the folder of the executable, whatever the working directory is.
//
// Installed layout (the executable runs from <prefix>/bin and
// <prefix>/share/tqr716-plu-manager/ exists): every file the program writes
// lives in $XDG_CONFIG_HOME/tqr716-plu-manager/ (~/.config/... by default),
// created on first use with a copy of the default SYSTEM.CFG from the shared
// folder. Read-only files (the language file) are looked up there first, then
// in the shared folder. Nothing is written beside an installed program.
namespace AppPaths {

// The folder name under <prefix>/share and under the configuration home.
inline QString PackageName() { return QStringLiteral("tqr716-plu-manager"); }

struct Layout
{
    bool installed = false;
    QString filesDir; // where the program reads and writes its files, with trailing '/'
    QString dataDir;  // the shared read-only folder (installed), else filesDir
};

// The layout for an executable in `executableDir`, with `configHome` as
// $XDG_CONFIG_HOME (empty: `homeDir`/.config). Touches nothing.
Layout LayoutFor(const QString& executableDir, const QString& configHome, const QString& homeDir);

// The running program's layout (taken once from the executable's folder and
// the environment), unless SetProgramDir replaced it.
const Layout& CurrentLayout();

// The folder of the program's files with a trailing '/'. In the installed
// layout the first call creates it and puts the default SYSTEM.CFG in it.
QString ProgramDir();

// Replaces the program folder for the rest of the run (tests, plu-cli
// --settings): a portable layout in `dir`. An empty text returns to the
// running program's own layout.
void SetProgramDir(const QString& dir);

// Replaces the layout for the rest of the run (tests).
void UseLayout(const Layout& layout);

// A file in the program folder: ProgramDir() + name.
QString ProgramFile(const QString& name);

// A read-only file: ProgramDir() + name when it exists, else the one in the
// shared folder (which may not exist either).
QString FindReadOnlyFile(const QString& name);

// The settings file, ProgramDir() + "SYSTEM.CFG".
QString SettingsPath();

// The link trace, ProgramDir() + "DEBUG.LOG".
QString TracePath();

// Creates `layout.filesDir` when missing and copies the default SYSTEM.CFG
// into it from the shared folder when it has none. Nothing for a portable
// layout. False when the folder cannot be made.
bool PrepareFilesDir(const Layout& layout);

} // namespace AppPaths
