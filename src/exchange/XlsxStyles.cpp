#include "exchange/XlsxStyles.h"

#include <QHash>
#include <QXmlStreamReader>

namespace {

// The number formats every spreadsheet knows by number that show a date or
// a time (the ranges 27..36 and 50..58 are those of East Asian locales).
bool IsBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

// "[h]", "[mm]", "[ss]": elapsed times; other brackets hold colours,
// conditions or currencies.
bool IsElapsedTime(const QString& bracketed)
{
    const QString inside = bracketed.toLower();
    return !inside.isEmpty() && QStringLiteral("hms").contains(inside[0]) && inside.count(inside[0]) == inside.size();
}

// A format code shows a date or a time when, outside quoted texts, escaped
// characters and brackets, it holds one of the letters d, m, y, h or s.
bool IsDateFormatCode(const QString& code)
{
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i].toLower();
        if (ch == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            i = end < 0 ? code.size() : end;
        } else if (ch == u'\\' || ch == u'_' || ch == u'*') {
            ++i;
        } else if (ch == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            if (end < 0)
                return false;
            if (IsElapsedTime(code.mid(i + 1, end - i - 1)))
                return true;
            i = end;
        } else if (ch == u'd' || ch == u'm' || ch == u'y' || ch == u'h' || ch == u's') {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<QList<bool>> XlsxDateStyles(const QByteArray& bytes)
{
    QList<bool> styles;
    if (bytes.isEmpty())
        return styles;
    QHash<int, bool> customFormats;
    bool inCellStyles = false;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs"))
            inCellStyles = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("numFmt")) {
            customFormats.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                                 IsDateFormatCode(xml.attributes().value(QLatin1String("formatCode")).toString()));
        } else if (xml.name() == QLatin1String("cellXfs")) {
            inCellStyles = true;
        } else if (inCellStyles && xml.name() == QLatin1String("xf")) {
            const int format = xml.attributes().value(QLatin1String("numFmtId")).toInt();
            styles.append(customFormats.value(format, IsBuiltInDateFormat(format)));
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return styles;
}

