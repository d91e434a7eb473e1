#include "exchange/XlsxReader.h"
#include "model/Language.h"

#include "exchange/XlsxStyles.h"
#include "exchange/ZipReader.h"

#include <QHash>
#include <QLocale>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace {

const QString kWorkbook = QStringLiteral("xl/workbook.xml");
const QString kWorkbookRels = QStringLiteral("xl/_rels/workbook.xml.rels");
const QString kFirstSheet = QStringLiteral("xl/worksheets/sheet1.xml");
const QString kSharedStrings = QStringLiteral("xl/sharedStrings.xml");
const QString kStyles = QStringLiteral("xl/styles.xml");

constexpr int kMaxSheetLine = 1048576;

// Thrown inside the reader, caught at its entry.
struct XlsxError
{
    QString message;
};

[[noreturn]] void Fail(const QString& message)
{
    throw XlsxError{message};
}

// The workbook's parts; a part that cannot be read ends the reading.
class XlsxPackage
{
public:
    explicit XlsxPackage(const QByteArray& bytes) : zip_(bytes, SheetLimits::kMaxBytes)
    {
        if (!zip_.Ok())
            Fail(zip_.Error());
    }

    std::optional<QByteArray> Part(const QString& name)
    {
        auto part = zip_.Part(name);
        if (!zip_.Ok())
            Fail(zip_.Error());
        return part;
    }

private:
    ZipReader zip_;
};

QString XmlFailure(const QString& part, const QXmlStreamReader& xml)
{
    return Tr("XlsxReader", "BadXmlAt", "The workbook part %1 is not valid XML (line %2: %3).")
        .arg(part)
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

// The text of every <t> below the current element, leaving out phonetic
// runs; ends on the current element's end.
QString TextContent(QXmlStreamReader& xml, int depth = 0)
{
    constexpr int kMaxDepth = 16;
    if (depth > kMaxDepth)
        Fail(Tr("XlsxReader", "TooDeep", "A text of the workbook is nested too deeply."));
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("t"))
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("rPh"))
            xml.skipCurrentElement();
        else
            text += TextContent(xml, depth + 1);
    }
    return text;
}

QStringList SharedStrings(const QByteArray& bytes, const QString& part)
{
    QStringList strings;
    if (bytes.isEmpty())
        return strings;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
            strings.append(TextContent(xml));
    }
    if (xml.hasError())
        Fail(XmlFailure(part, xml));
    return strings;
}

QString Attribute(const QXmlStreamReader& xml, QLatin1String name)
{
    // A const copy: iterating the list returned would detach (copy) it.
    const QXmlStreamAttributes attributes = xml.attributes();
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == name)
            return attribute.value().toString();
    }
    return {};
}

// The parts named by the workbook: its first sheet, its shared strings and
// its cell styles.
struct WorkbookParts
{
    QString sheet = kFirstSheet;
    QString sharedStrings = kSharedStrings;
    QString styles = kStyles;
};

QString PartPath(const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

WorkbookParts FindParts(XlsxPackage& package)
{
    WorkbookParts parts;
    const auto workbook = package.Part(kWorkbook);
    const auto rels = package.Part(kWorkbookRels);
    if (!workbook || !rels)
        return parts;
    QString sheetId;
    QXmlStreamReader xml(*workbook);
    while (!xml.atEnd() && sheetId.isEmpty()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("sheet"))
            sheetId = Attribute(xml, QLatin1String("id"));
    }
    QXmlStreamReader relations(*rels);
    while (!relations.atEnd()) {
        if (relations.readNext() != QXmlStreamReader::StartElement
            || relations.name() != QLatin1String("Relationship"))
            continue;
        const QString target = Attribute(relations, QLatin1String("Target"));
        if (!sheetId.isEmpty() && Attribute(relations, QLatin1String("Id")) == sheetId)
            parts.sheet = PartPath(target);
        else if (Attribute(relations, QLatin1String("Type")).endsWith(QLatin1String("/sharedStrings")))
            parts.sharedStrings = PartPath(target);
        else if (Attribute(relations, QLatin1String("Type")).endsWith(QLatin1String("/styles")))
            parts.styles = PartPath(target);
    }
    return parts;
}

// "B12" gives column 2; nothing for a reference without letters.
std::optional<int> ColumnOfReference(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i) {
        const char16_t letter = reference[i].toUpper().unicode();
        if (letter < u'A' || letter > u'Z')
            return std::nullopt;
        // Beyond the columns a sheet may use, how far does not matter.
        column = std::min(column * 26 + (letter - u'A' + 1), SheetLimits::kMaxColumns + 1);
    }
    return i > 0 ? std::optional<int>(column) : std::nullopt;
}

// Plain digits with at most one point and 15 digits are already written as
// a spreadsheet shows them.
bool IsShortPlainNumber(const QString& value)
{
    int digits = 0;
    bool point = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value[i];
        if (ch.isDigit() && ch.unicode() < 128)
            ++digits;
        else if (ch == u'.' && !point && i > 0)
            point = true;
        else if (!(ch == u'-' && i == 0))
            return false;
    }
    return digits > 0 && digits <= 15 && !value.endsWith(u'.') && !(point && value.endsWith(u'0'));
}

QString NumberText(const QString& value)
{
    if (IsShortPlainNumber(value))
        return value;
    bool ok = false;
    const double number = QLocale::c().toDouble(value.trimmed(), &ok);
    return ok ? QString::number(number, 'g', 15) : value;
}

// What a cell holds: its text, and why it cannot be taken when it is not
// what the text looks like.
struct CellContent
{
    QString text;
    QString refusal;
};

// The parts of a <c> element.
struct CellXml
{
    QString type;
    bool dateStyle = false;
    std::optional<QString> value;
    std::optional<QString> formula;
    std::optional<QString> inlineText;
};

class SheetParser
{
public:
    SheetParser(const QStringList& shared, const QList<bool>& dateStyles, const QString& part)
        : shared_(shared), dateStyles_(dateStyles), part_(part)
    {
    }

    Sheet Parse(const QByteArray& bytes)
    {
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("row"))
                Row(xml);
        }
        if (xml.hasError())
            Fail(XmlFailure(part_, xml));
        return std::move(sheet_);
    }

private:
    void Row(QXmlStreamReader& xml)
    {
        const QString r = Attribute(xml, QLatin1String("r"));
        bool ok = false;
        const int line = r.isEmpty() ? lastLine_ + 1 : r.toInt(&ok);
        if (!r.isEmpty() && (!ok || line <= lastLine_ || line > kMaxSheetLine))
            Fail(Tr("XlsxReader", "RowOrder", "The sheet's row number \"%1\" is out of order.")
                     .arg(r));
        lastLine_ = line;
        SheetRow row{line, {}, {}};
        int lastColumn = 0;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("c"))
                Cell(xml, row, lastColumn);
            else
                xml.skipCurrentElement();
        }
        while (!row.cells.isEmpty() && row.cells.back().isEmpty())
            row.cells.removeLast();
        if (row.cells.isEmpty())
            return;
        if (sheet_.rows.size() > SheetLimits::kMaxDataRows)
            Fail(TooManyRowsError());
        sheet_.rows.append(row);
    }

    void Cell(QXmlStreamReader& xml, SheetRow& row, int& lastColumn)
    {
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto column = ColumnOfReference(attributes.value(QLatin1String("r")));
        const int index = std::min(column ? *column : lastColumn + 1, SheetLimits::kMaxColumns + 1);
        lastColumn = index;
        CellXml cell;
        cell.type = attributes.value(QLatin1String("t")).toString();
        bool styled = false;
        const int style = attributes.value(QLatin1String("s")).toInt(&styled);
        cell.dateStyle = styled && style >= 0 && style < dateStyles_.size() && dateStyles_[style];
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("v"))
                cell.value = xml.readElementText();
            else if (xml.name() == QLatin1String("f"))
                cell.formula = xml.readElementText();
            else if (xml.name() == QLatin1String("is"))
                cell.inlineText = TextContent(xml);
            else
                xml.skipCurrentElement();
        }
        const CellContent content = Content(cell);
        // Spreadsheets keep formatted but empty cells far to the right.
        if (index > SheetLimits::kMaxColumns) {
            if (!content.text.isEmpty())
                Fail(Tr("XlsxReader", "TooManyColumns",
                        "The sheet has values beyond its first %1 columns.")
                         .arg(SheetLimits::kMaxColumns));
            return;
        }
        while (row.cells.size() < index)
            row.cells.append(QString());
        row.cells[index - 1] = content.text;
        if (!content.refusal.isEmpty())
            row.refusals.insert(index - 1, content.refusal);
    }

    // A formula's result is taken as the cell's value; dates, truth values
    // and errors are refused rather than read as the numbers or texts the
    // file stores them as.
    CellContent Content(const CellXml& cell) const
    {
        if (cell.inlineText)
            return {*cell.inlineText, {}};
        if (cell.formula && !cell.value) {
            return {QLatin1Char('=') + *cell.formula,
                    Tr("XlsxReader", "Formula",
                       "it is a formula whose result the file does not hold; open the sheet in a "
                       "spreadsheet program and save it, so the results are stored")};
        }
        const QString value = cell.value.value_or(QString());
        if (cell.type == QLatin1String("s"))
            return {SharedString(value), {}};
        if (cell.type == QLatin1String("e"))
            return {value,
                    Tr("XlsxReader", "ErrorValue", "it holds the error value %1").arg(value)};
        if (cell.type == QLatin1String("b")) {
            const QString truth = value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            return {truth, Tr("XlsxReader", "TruthValue",
                              "it holds the truth value %1, not a number or a text")
                               .arg(truth)};
        }
        if (cell.type == QLatin1String("d"))
            return {value, Tr("XlsxReader", "DateValue",
                              "it is a date or a time, not a number or a text")};
        if (!cell.type.isEmpty() && cell.type != QLatin1String("n"))
            return {value, {}};
        const QString number = NumberText(value);
        if (cell.dateStyle && !number.isEmpty())
            return {number, Tr("XlsxReader", "DateValue",
                               "it is a date or a time, not a number or a text")};
        return {number, {}};
    }

    QString SharedString(const QString& value) const
    {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= shared_.size())
            Fail(Tr("XlsxReader", "NoSharedString",
                    "The sheet refers to a shared string %1 that does not exist.")
                     .arg(value));
        return shared_[index];
    }

    const QStringList& shared_;
    const QList<bool>& dateStyles_;
    const QString part_;
    Sheet sheet_;
    int lastLine_ = 0;
};

} // namespace

SheetRead ReadXlsxSheet(const QByteArray& bytes)
{
    SheetRead read;
    try {
        XlsxPackage package(bytes);
        const WorkbookParts parts = FindParts(package);
        const QStringList shared = SharedStrings(package.Part(parts.sharedStrings).value_or(QByteArray()),
                                                 parts.sharedStrings);
        const auto dateStyles = XlsxDateStyles(package.Part(parts.styles).value_or(QByteArray()));
        if (!dateStyles)
            Fail(Tr("XlsxReader", "BadXml", "The workbook part %1 is not valid XML.")
                     .arg(parts.styles));
        const auto sheet = package.Part(parts.sheet);
        if (!sheet)
            Fail(Tr("XlsxReader", "NoWorksheet", "The workbook has no worksheet."));
        read.sheet = SheetParser(shared, *dateStyles, parts.sheet).Parse(*sheet);
    } catch (const XlsxError& error) {
        read.error = error.message;
    }
    return read;
}

SheetRead ReadXlsxParts(const QByteArray& sharedStringsXml, const QByteArray& worksheetXml)
{
    SheetRead read;
    try {
        const QStringList shared = SharedStrings(sharedStringsXml, kSharedStrings);
        const QList<bool> noStyles;
        read.sheet = SheetParser(shared, noStyles, kFirstSheet).Parse(worksheetXml);
    } catch (const XlsxError& error) {
        read.error = error.message;
    }
    return read;
}
