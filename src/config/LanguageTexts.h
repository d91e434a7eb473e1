#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

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

    // Drops every translation whose placeholders (%1, %2, ...) differ from
    // the English text's in `catalogue` (the example file, which lists every
    // key), and says which, one line each.
    QStringList RefusePlaceholderMismatches(const LanguageTexts& catalogue);

    // The keys of `catalogue` this file has no text for, as "[Section] Key".
    QStringList MissingKeys(const LanguageTexts& catalogue) const;

    // Makes these texts the program's language (see model/Language).
    void Install(QStringList problems) const;

private:
    struct Name
    {
        QString section;
        QString key;
    };

    QHash<QString, QString> m_texts; // by Language::Slot(section, key)
    QHash<QString, Name> m_names;    // the names as the file writes them
    QList<QString> m_order;          // the slots in file order
};
