#pragma once

#include <QString>
#include <QStringList>

// Checks of the files named on plu-cli's command line, shared by its commands.
// Each returns why the name cannot be used, or an empty text when it can.
namespace FileArguments {

// The name joined to the working folder when relative, its bytes kept (see
// FilePath).
QString AbsolutePath(const QString& path);

// The document of a table command names its .PLU file (any case): the .DEP
// and .RCY files are found beside it. A .DEP given as the document would be
// sent as PLUs, or overwritten by them.
QString DocumentProblem(const QString& command, const QString& path);

// A file to be read and sent: it exists and is no folder.
QString FileToReadProblem(const QString& path);

// A file to be written (or replaced) at path: its folder exists and may be
// written, and path is no folder.
QString FileToWriteProblem(const QString& path);

} // namespace FileArguments
