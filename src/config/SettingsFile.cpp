#include "config/SettingsFile.h"

#include "files/FileError.h"
#include "files/FileIo.h"
#include "config/SettingsContent.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

namespace {

// Missing and unreadable files both read as empty: every read then yields its
// default, as for a missing key.
QByteArray ContentOrEmpty(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A file or folder without any write permission bit counts as read-only even
// for a user the system would let through, as a read-only attribute would.
bool HasWriteBit(const QFileInfo& info)
{
    return info.permissions() &
           (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther);
}

// The replacement goes through a rename in the folder, which the system would
// allow even over a read-only file; so the file itself is checked first.
bool MayReplace(const QString& path)
{
    const QFileInfo file(path);
    if (file.exists() && (!file.isFile() || !file.isWritable() || !HasWriteBit(file)))
        return false;
    // A link is replaced in its target's folder. A plain file's own folder
    // is taken as named: resolving it could give back a name the program
    // cannot use (a folder in Latin-1 bytes).
    const QFileInfo folder(file.isSymLink() ? QFileInfo(file.canonicalFilePath()).absolutePath()
                                            : file.absolutePath());
    return folder.isDir() && folder.isWritable() && HasWriteBit(folder);
}

SettingsContent LoadForChange(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return SettingsContent();
    // Writing without having read the old content would lose it.
    if (!file.open(QIODevice::ReadOnly))
        throw SettingsWriteError(path);
    return SettingsContent(file.readAll());
}

void Replace(const QString& path, const QByteArray& content)
{
    if (!MayReplace(path))
        throw SettingsWriteError(path);
    try {
        WriteFileAtomically(path, content);
    } catch (const FileError& error) {
        throw SettingsWriteError(path, error.Reason());
    }
}

QString WriteMessage(const QString& path, const QString& reason)
{
    const QString message = QStringLiteral("Unable to write to %1").arg(path);
    return reason.isEmpty() ? message : message + QStringLiteral(": ") + reason;
}

} // namespace

SettingsWriteError::SettingsWriteError(const QString& path, const QString& reason)
    : std::runtime_error(WriteMessage(path, reason).toStdString()), m_path(path), m_reason(reason)
{
}

QString SettingsWriteError::Message() const
{
    return WriteMessage(m_path, m_reason);
}

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

QString SettingsFile::ReadText(const QString& section, const QString& key,
                               const QString& defaultValue) const
{
    return SettingsContent(ContentOrEmpty(m_path)).ReadText(section, key, defaultValue);
}

qint32 SettingsFile::ReadInteger(const QString& section, const QString& key,
                                 qint32 defaultValue) const
{
    return SettingsContent(ContentOrEmpty(m_path)).ReadInteger(section, key, defaultValue);
}

bool SettingsFile::ReadFlag(const QString& section, const QString& key, bool defaultValue) const
{
    return SettingsContent(ContentOrEmpty(m_path)).ReadFlag(section, key, defaultValue);
}

void SettingsFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    Change([&](SettingsContent& content) {
        content.WriteText(section, key, value);
        return true;
    });
}

void SettingsFile::WriteTexts(const QString& section, const std::vector<std::pair<QString, QString>>& values)
{
    Change([&](SettingsContent& content) {
        content.WriteTexts(section, values);
        return true;
    });
}

void SettingsFile::WriteInteger(const QString& section, const QString& key, qint32 value)
{
    Change([&](SettingsContent& content) {
        content.WriteInteger(section, key, value);
        return true;
    });
}

void SettingsFile::WriteFlag(const QString& section, const QString& key, bool value)
{
    Change([&](SettingsContent& content) {
        content.WriteFlag(section, key, value);
        return true;
    });
}

void SettingsFile::RemoveKey(const QString& section, const QString& key)
{
    Change([&](SettingsContent& content) { return content.RemoveKey(section, key); });
}

void SettingsFile::Change(const std::function<bool(SettingsContent&)>& change)
{
    SettingsContent content = LoadForChange(m_path);
    if (change(content))
        Replace(m_path, content.ToBytes());
}
