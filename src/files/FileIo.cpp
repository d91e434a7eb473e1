#include "files/FileIo.h"

#include "files/FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

void WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(path, QStringLiteral("cannot create the file (%1)").arg(file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileError(path, QStringLiteral("cannot write the file (%1)").arg(reason));
    }
    if (!file.commit())
        throw FileError(path, QStringLiteral("cannot write the file (%1)").arg(file.errorString()));
}

void ReadLines(QIODevice& device, const QString& name,
               const std::function<bool(const QByteArray&)>& take)
{
    while (!device.atEnd()) {
        QByteArray line = device.readLine();
        if (line.isEmpty() && !device.atEnd())
            throw FileError(name, QStringLiteral("cannot read the file (%1)").arg(device.errorString()));
        if (line.endsWith('\n')) {
            line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
        }
        if (!take(line))
            break;
    }
}

bool ReadFileLines(const QString& path, const std::function<bool(const QByteArray&)>& take)
{
    if (!QFileInfo::exists(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, QStringLiteral("cannot open the file (%1)").arg(file.errorString()));
    ReadLines(file, path, take);
    if (file.error() != QFileDevice::NoError)
        throw FileError(path, QStringLiteral("cannot read the file (%1)").arg(file.errorString()));
    return true;
}
