#include "cli/FileArguments.h"

#include "files/FilePath.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace FileArguments {
namespace {

QString Shown(const FilePath& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path.Text()));
}

} // namespace

QString AbsolutePath(const QString& path)
{
    return QDir::cleanPath(FilePath(path).Absolute().Text());
}

QString DocumentProblem(const QString& command, const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("PLU"), Qt::CaseInsensitive) == 0)
        return {};
    return QStringLiteral("%1 takes the document's .PLU file, not \"%2\"").arg(command, path);
}

QString FileToReadProblem(const QString& path)
{
    const FilePath file(path);
    if (file.IsFolder())
        return QStringLiteral("%1 is a directory").arg(Shown(file));
    if (!file.Exists())
        return QStringLiteral("%1: no such file").arg(Shown(file));
    return {};
}

QString FileToWriteProblem(const QString& path)
{
    const FilePath file(path);
    if (file.IsFolder())
        return QStringLiteral("%1 is a directory").arg(Shown(file));
    const FilePath folder = file.Absolute().Folder();
    if (!folder.IsFolder())
        return QStringLiteral("%1: no such folder").arg(Shown(folder));
    if (::access(folder.Native(), W_OK | X_OK) != 0)
        return QStringLiteral("%1: the folder cannot be written").arg(Shown(folder));
    return {};
}

} // namespace FileArguments
