#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The texts of a language file, read once: an INI text (the settings file's
// syntax) whose sections are window names and text tables. A file that is
// valid UTF-8, with or without a byte-order mark, is read as UTF-8; any other
// file as Latin-1, one character per byte. Section and key names match
// without regard to letter case; with a duplicated key the first one counts.
class LanguageTexts
{
public:
    LanguageTexts() = default;

    static LanguageTexts FromBytes(const QByteArray& bytes);
    // A missing or unreadable file gives no texts at all.
    static LanguageTexts Load(const QString& path);

    // The file's text for the key, or `current` when the file has none.
    QString Text(const QString& section, const QString& key, const QString& current) const;

    bool IsEmpty() const { return m_texts.isEmpty(); }

private:
    static QString Slot(const QString& section, const QString& key);

    QHash<QString, QString> m_texts; // by Slot(section, key)
};
