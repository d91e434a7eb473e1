#include "cli/FileArguments.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace FileArguments {
namespace {

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString DocumentProblem(const QString& command, const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("PLU"), Qt::CaseInsensitive) == 0)
        return {};
    return QStringLiteral("%1 takes the document's .PLU file, not \"%2\"").arg(command, path);
}

QString FileToReadProblem(const QString& path)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("%1 is a directory").arg(Shown(path));
    if (!file.exists())
        return QStringLiteral("%1: no such file").arg(Shown(path));
    return {};
}

QString FileToWriteProblem(const QString& path)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("%1 is a directory").arg(Shown(path));
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("%1: no such folder").arg(Shown(folder.absoluteFilePath()));
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("%1: the folder cannot be written").arg(Shown(folder.absoluteFilePath()));
    return {};
}

} // namespace FileArguments
