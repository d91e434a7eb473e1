#include "config/IniDocument.h"

namespace {

enum class LineKind
{
    Other,
    Section,
    Key
};

// Views into the line's text: reading a value looks at every line of the
// file, and copying the pieces of each line would cost more than the search.
struct LineShape
{
    LineKind kind = LineKind::Other;
    QByteArrayView name;  // section or key name, trimmed
    QByteArrayView value; // raw value text of a key line, trimmed
};

LineShape ShapeOf(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    if (text.isEmpty() || text.startsWith(';') || text.startsWith('#'))
        return {};
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        if (close < 0)
            return {};
        return {LineKind::Section, text.sliced(1, close - 1).trimmed(), {}};
    }
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0)
        return {};
    const QByteArrayView key = text.first(equals).trimmed();
    if (key.isEmpty())
        return {};
    return {LineKind::Key, key, text.sliced(equals + 1).trimmed()};
}

bool SameName(QByteArrayView stored, const QString& wanted)
{
    return QLatin1StringView(stored.data(), stored.size()).compare(wanted, Qt::CaseInsensitive) == 0;
}

bool IsQuoted(QByteArrayView text)
{
    return text.size() >= 2 && text.startsWith('"') && text.endsWith('"');
}

QString DecodeValue(QByteArrayView raw)
{
    return QString::fromLatin1(IsQuoted(raw) ? raw.sliced(1, raw.size() - 2) : raw);
}

// Quotes are added only when the reader would otherwise lose something: blanks
// at either end, or a pair of quotes that belongs to the value itself.
QByteArray EncodeValue(const QString& value)
{
    QByteArray bytes = value.toLatin1();
    bytes.replace('\r', ' ').replace('\n', ' ');
    if (bytes.trimmed() != bytes || IsQuoted(bytes))
        return '"' + bytes + '"';
    return bytes;
}

} // namespace

IniDocument IniDocument::FromBytes(const QByteArray& bytes)
{
    IniDocument document;
    // A UTF-8 byte-order mark (left by some editors) is no part of the first
    // line; it is written back as it was.
    static const QByteArray kByteOrderMark("\xEF\xBB\xBF");
    qsizetype start = 0;
    if (bytes.startsWith(kByteOrderMark)) {
        document.m_byteOrderMark = kByteOrderMark;
        start = kByteOrderMark.size();
    }
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            document.m_lines.push_back({bytes.mid(start), {}});
            break;
        }
        const bool crlf = newline > start && bytes.at(newline - 1) == '\r';
        const qsizetype textEnd = crlf ? newline - 1 : newline;
        document.m_lines.push_back(
            {bytes.mid(start, textEnd - start), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        start = newline + 1;
    }
    // The first line ending decides the style of every line added later.
    for (const Line& line : document.m_lines) {
        if (!line.ending.isEmpty()) {
            document.m_ending = line.ending;
            break;
        }
    }
    return document;
}

QByteArray IniDocument::ToBytes() const
{
    QByteArray bytes = m_byteOrderMark;
    for (const Line& line : m_lines)
        bytes += line.text + line.ending;
    return bytes;
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const
{
    const std::optional<std::size_t> index = FindKey(section, key);
    if (!index)
        return std::nullopt;
    return DecodeValue(ShapeOf(m_lines[*index].text).value);
}

std::vector<IniDocument::Entry> IniDocument::Entries() const
{
    std::vector<Entry> entries;
    std::optional<QString> section;
    for (const Line& line : m_lines) {
        const LineShape shape = ShapeOf(line.text);
        if (shape.kind == LineKind::Section)
            section = QString::fromLatin1(shape.name);
        else if (section && shape.kind == LineKind::Key)
            entries.push_back({*section, QString::fromLatin1(shape.name), DecodeValue(shape.value)});
    }
    return entries;
}

void IniDocument::RemoveValue(const QString& section, const QString& key)
{
    if (const std::optional<std::size_t> index = FindKey(section, key))
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*index));
}

void IniDocument::SetValue(const QString& section, const QString& key, const QString& value)
{
    const QByteArray encoded = EncodeValue(value);
    if (const std::optional<std::size_t> index = FindKey(section, key)) {
        Line& line = m_lines[*index];
        line.text = ShapeOf(line.text).name.toByteArray() + '=' + encoded;
        return;
    }
    const QByteArray keyLine = key.toLatin1() + '=' + encoded;
    if (const std::optional<std::size_t> header = FindSection(section)) {
        InsertLine(EndOfSection(*header), keyLine);
        return;
    }
    InsertLine(m_lines.size(), '[' + section.toLatin1() + ']');
    InsertLine(m_lines.size(), keyLine);
}

// Keys are looked for in every section of that name, in file order, so a
// section that appears twice still yields the first key that matches.
std::optional<std::size_t> IniDocument::FindKey(const QString& section, const QString& key) const
{
    bool inSection = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const LineShape shape = ShapeOf(m_lines[i].text);
        if (shape.kind == LineKind::Section)
            inSection = SameName(shape.name, section);
        else if (inSection && shape.kind == LineKind::Key && SameName(shape.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindSection(const QString& section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const LineShape shape = ShapeOf(m_lines[i].text);
        if (shape.kind == LineKind::Section && SameName(shape.name, section))
            return i;
    }
    return std::nullopt;
}

// Just after the section's last key line (or its header when it has no keys),
// so blank lines and comments that lead to the next section stay in front of it.
std::size_t IniDocument::EndOfSection(std::size_t header) const
{
    std::size_t end = header + 1;
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        const LineKind kind = ShapeOf(m_lines[i].text).kind;
        if (kind == LineKind::Section)
            break;
        if (kind == LineKind::Key)
            end = i + 1;
    }
    return end;
}

void IniDocument::InsertLine(std::size_t index, const QByteArray& text)
{
    if (index > 0 && m_lines[index - 1].ending.isEmpty())
        m_lines[index - 1].ending = m_ending;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), Line{text, m_ending});
}
