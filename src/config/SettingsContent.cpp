#include "config/SettingsContent.h"

#include "model/Numbers.h"

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

} // namespace

std::optional<qint32> ParseSettingsInteger(const QString& text)
{
    if (text.size() <= 2 || !text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return ParseWhole32(text);
    // 0x80000000 and above read as negative values, as 32-bit patterns.
    const std::optional<quint32> value = ParseHexDigits(QStringView(text).mid(2));
    return value ? std::optional<qint32>(static_cast<qint32>(*value)) : std::nullopt;
}

SettingsContent::SettingsContent(const QByteArray& bytes) : m_document(IniDocument::FromBytes(bytes)) {}

QByteArray SettingsContent::ToBytes() const
{
    return m_document.ToBytes();
}

QString SettingsContent::ReadText(const QString& section, const QString& key, const QString& defaultValue) const
{
    return m_document.Value(section, key).value_or(defaultValue);
}

qint32 SettingsContent::ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const
{
    const std::optional<QString> text = m_document.Value(section, key);
    if (!text)
        return defaultValue;
    return ParseSettingsInteger(*text).value_or(defaultValue);
}

bool SettingsContent::ReadFlag(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsContent::WriteText(const QString& section, const QString& key, const QString& value)
{
    m_document.SetValue(section, key, value);
}

void SettingsContent::WriteTexts(const QString& section, const std::vector<std::pair<QString, QString>>& values)
{
    for (const auto& [key, value] : values)
        m_document.SetValue(section, key, value);
}

void SettingsContent::WriteInteger(const QString& section, const QString& key, qint32 value)
{
    WriteText(section, key, QString::number(value));
}

void SettingsContent::WriteFlag(const QString& section, const QString& key, bool value)
{
    WriteText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SettingsContent::RemoveKey(const QString& section, const QString& key)
{
    if (!m_document.Value(section, key))
        return false;
    m_document.RemoveValue(section, key);
    return true;
}
