#include "settings/SettingsFile.h"

#include "files/FileError.h"
#include "files/FileIo.h"
#include "model/Numbers.h"
#include "settings/IniDocument.h"

#include <QFile>
#include <QFileInfo>

#include <limits>
#include <optional>

namespace {

std::optional<qint32> ParseWhole32(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    qint64 magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

std::optional<qint32> ParseWholeNumber(const QString& text)
{
    if (text.size() <= 2 || !text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return ParseWhole32(text);
    // 0x80000000 and above read as negative values, as 32-bit patterns.
    const std::optional<quint32> value = ParseHexDigits(QStringView(text).mid(2));
    return value ? std::optional<qint32>(static_cast<qint32>(*value)) : std::nullopt;
}

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

IniDocument LoadForChange(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return IniDocument::FromBytes({});
    // Writing without having read the old content would lose it.
    if (!file.open(QIODevice::ReadOnly))
        throw SettingsWriteError(path);
    return IniDocument::FromBytes(file.readAll());
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
    return IniDocument::FromBytes(ContentOrEmpty(m_path))
        .Value(section, key)
        .value_or(defaultValue);
}

qint32 SettingsFile::ReadInteger(const QString& section, const QString& key,
                                 qint32 defaultValue) const
{
    const std::optional<QString> text =
        IniDocument::FromBytes(ContentOrEmpty(m_path)).Value(section, key);
    if (!text)
        return defaultValue;
    return ParseWholeNumber(*text).value_or(defaultValue);
}

bool SettingsFile::ReadFlag(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    IniDocument document = LoadForChange(m_path);
    document.SetValue(section, key, value);
    Replace(m_path, document.ToBytes());
}

void SettingsFile::WriteTexts(const QString& section, const std::vector<std::pair<QString, QString>>& values)
{
    IniDocument document = LoadForChange(m_path);
    for (const auto& [key, value] : values)
        document.SetValue(section, key, value);
    Replace(m_path, document.ToBytes());
}

void SettingsFile::WriteInteger(const QString& section, const QString& key, qint32 value)
{
    WriteText(section, key, QString::number(value));
}

void SettingsFile::WriteFlag(const QString& section, const QString& key, bool value)
{
    WriteText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsFile::RemoveKey(const QString& section, const QString& key)
{
    IniDocument document = LoadForChange(m_path);
    if (!document.Value(section, key))
        return;
    document.RemoveValue(section, key);
    Replace(m_path, document.ToBytes());
}
