#pragma once

#include "config/IniDocument.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// An integer value as the settings file writes it: signed decimal, or "0x"/"0X"
// and hexadecimal digits (up to 32 bits; 0x80000000 and above are negative).
// Nothing for any other text and for a number beyond 32 bits.
std::optional<qint32> ParseSettingsInteger(const QString& text);

// The content of SYSTEM.CFG (or any INI file) in memory, read and changed by
// section and key with the rules SettingsFile applies to the file: a missing
// section or key reads as the default, and a change touches only the key's
// line (see IniDocument).
class SettingsContent
{
public:
    // Empty bytes are a new file.
    explicit SettingsContent(const QByteArray& bytes = QByteArray());

    QByteArray ToBytes() const;

    QString ReadText(const QString& section, const QString& key, const QString& defaultValue = QString()) const;

    // Signed decimal, or "0x"/"0X" and hexadecimal digits (up to 32 bits;
    // 0x80000000 and above read as negative numbers). Anything else, and a
    // number beyond 32 bits, reads as the default.
    qint32 ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const;

    // An integer read with default 1 or 0; any non-zero number is true.
    bool ReadFlag(const QString& section, const QString& key, bool defaultValue) const;

    void WriteText(const QString& section, const QString& key, const QString& value);
    void WriteTexts(const QString& section, const std::vector<std::pair<QString, QString>>& values);
    void WriteInteger(const QString& section, const QString& key, qint32 value);
    void WriteFlag(const QString& section, const QString& key, bool value);
    // Removes the key's line; false when there is no such key.
    bool RemoveKey(const QString& section, const QString& key);

private:
    IniDocument m_document;
};
