#include "config/SettingsFile.h"

#include "files/FileError.h"
#include "files/FileIo.h"
#include "config/SettingsContent.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

// Missing and unreadable files both read as empty: every read then yields its
// default, as for a missing key.
QByteArray ContentOrEmpty(const QString& path)
{
    try {
        return ReadFileBytes(path).value_or(QByteArray());
    } catch (const FileError&) {
        return {};
    }
}

// A file or folder without any write permission bit counts as read-only even
// for a user the system would let through, as a read-only attribute would.
bool MayWrite(const FilePath& path, const struct stat& state)
{
    return (state.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.Native(), W_OK) == 0;
}

// The replacement goes through a rename in the folder, which the system would
// allow even over a read-only file; so the file itself is checked first. The
// names are used as bytes (FilePath): a folder in Latin-1 bytes is reached too.
bool MayReplace(const QString& path)
{
    const FilePath file(path);
    const auto state = file.State();
    if (state && (!S_ISREG(state->st_mode) || !MayWrite(file, *state)))
        return false;
    // A link is replaced in its target's folder.
    const auto own = file.State(true);
    FilePath folder = file.Absolute().Folder();
    if (own && S_ISLNK(own->st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> target(::realpath(file.Native(), nullptr), &std::free);
        if (target)
            folder = FilePath::FromBytes(QByteArray(target.get())).Folder();
    }
    const auto folderState = folder.State();
    return folderState && S_ISDIR(folderState->st_mode) && MayWrite(folder, *folderState);
}

SettingsContent LoadForChange(const QString& path)
{
    // Writing without having read the old content would lose it.
    try {
        return SettingsContent(ReadFileBytes(path).value_or(QByteArray()));
    } catch (const FileError&) {
        throw SettingsWriteError(path);
    }
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
