#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The text of an INI file held line by line, so that setting one value changes
// one line (or adds one) and every other byte of the file stays as it was.
//
// Section and key names match without regard to letter case. A value is the
// text after the first '=' with leading and trailing blanks removed; one pair
// of double quotes around it is removed too, which lets a value keep leading
// or trailing blanks. Lines that start with ';' or '#' are comments. With a
// duplicated key the first one counts, for reading and for changing.
//
// Bytes and characters correspond one to one (Latin-1). A UTF-8 byte-order
// mark at the start is skipped when reading and kept when writing.
class IniDocument
{
public:
    // An empty text is a new document; it will use CR LF line endings.
    static IniDocument FromBytes(const QByteArray& bytes);

    QByteArray ToBytes() const;

    std::optional<QString> Value(const QString& section, const QString& key) const;

    // Every key line under a section header, in file order: what Value would
    // find, read in one pass (a duplicated key is listed each time).
    struct Entry
    {
        QString section;
        QString key;
        QString value;
    };
    std::vector<Entry> Entries() const;

    // Removes the key line that Value would read; nothing when there is none.
    void RemoveValue(const QString& section, const QString& key);

    // Changes the first matching key in place (keeping its spelling), or adds
    // the key after the last key line of the section, or adds the section at
    // the end. Characters beyond U+00FF become '?'; line breaks inside the
    // value become blanks, since a value is a single line.
    void SetValue(const QString& section, const QString& key, const QString& value);

private:
    struct Line
    {
        QByteArray text;   // without the line ending
        QByteArray ending; // "\r\n", "\n", or empty for a last line without one
    };

    std::optional<std::size_t> FindKey(const QString& section, const QString& key) const;
    std::optional<std::size_t> FindSection(const QString& section) const;
    std::size_t EndOfSection(std::size_t header) const;
    void InsertLine(std::size_t index, const QByteArray& text);

    std::vector<Line> m_lines;
    QByteArray m_byteOrderMark;
    QByteArray m_ending = "\r\n"; // used for every line this document adds
};
