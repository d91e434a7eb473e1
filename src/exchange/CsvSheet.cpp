#include "exchange/CsvSheet.h"
#include "model/Language.h"

#include "exchange/SheetText.h"

#include <csv.h>

#include <array>
#include <memory>

namespace {

constexpr std::array<char, 3> kDelimiters{',', ';', '\t'};

// What the parser's callbacks build: cells of the current line, and lines
// counted as a spreadsheet shows them (CR LF, LF or a lone CR end one).
struct CsvBuilder
{
    SheetEncoding encoding = SheetEncoding::Utf8;
    Sheet sheet;
    QStringList cells;
    bool lineHasFields = false;
    bool lastEndWasCr = false;
    int line = 1;
    bool tooManyRows = false;

    void Field(const char* data, size_t size)
    {
        cells.append(DecodeSheetField(QByteArray(data, static_cast<qsizetype>(size)), encoding));
        lineHasFields = true;
    }

    void LineEnd(int terminator)
    {
        // A CR LF pair reports the LF as an empty line of its own.
        const bool lfOfPair = terminator == '\n' && lastEndWasCr && !lineHasFields;
        lastEndWasCr = terminator == '\r';
        if (lfOfPair)
            return;
        if (lineHasFields && !IsBlank())
            AddRow();
        cells.clear();
        lineHasFields = false;
        ++line;
    }

    bool IsBlank() const
    {
        for (const QString& cell : cells) {
            if (!cell.isEmpty())
                return false;
        }
        return true;
    }

    void AddRow()
    {
        // The header plus the data rows.
        if (sheet.rows.size() > SheetLimits::kMaxDataRows) {
            tooManyRows = true;
            return;
        }
        sheet.rows.append(SheetRow{line, cells, {}});
    }
};

void OnField(void* data, size_t size, void* builder)
{
    static_cast<CsvBuilder*>(builder)->Field(static_cast<const char*>(data), size);
}

void OnLineEnd(int terminator, void* builder)
{
    static_cast<CsvBuilder*>(builder)->LineEnd(terminator);
}

// Blanks inside unquoted fields are kept: they belong to the cell.
int NoSpace(unsigned char)
{
    return 0;
}

struct ParserFree
{
    void operator()(csv_parser* parser) const
    {
        csv_free(parser);
        delete parser;
    }
};

bool NeedsQuotes(const QString& field, char delimiter)
{
    if (field.isEmpty())
        return false;
    return field.contains(QLatin1Char(delimiter)) || field.contains(u'"') || field.contains(u'\n')
        || field.contains(u'\r') || field.front().isSpace() || field.back().isSpace();
}

QByteArray QuotedField(const QByteArray& field)
{
    // Room for every byte doubled and the two quotes.
    QByteArray quoted(field.size() * 2 + 2, Qt::Uninitialized);
    const size_t written = csv_write(quoted.data(), static_cast<size_t>(quoted.size()), field.constData(),
                                     static_cast<size_t>(field.size()));
    quoted.truncate(static_cast<qsizetype>(written));
    return quoted;
}

} // namespace

char DetectCsvDelimiter(const QByteArray& bytes)
{
    std::array<int, kDelimiters.size()> counts{};
    bool quoted = false;
    for (const char byte : bytes) {
        if (byte == '"')
            quoted = !quoted;
        if (quoted)
            continue;
        if (byte == '\n' || byte == '\r')
            break;
        for (std::size_t i = 0; i < kDelimiters.size(); ++i)
            counts[i] += byte == kDelimiters[i] ? 1 : 0;
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < kDelimiters.size(); ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return kDelimiters[best];
}

SheetRead ReadCsvSheet(const QByteArray& bytes)
{
    SheetRead read;
    if (bytes.size() > SheetLimits::kMaxBytes) {
        read.error = Tr("CsvSheet", "TooLarge", "The file is larger than %1 MB.")
                         .arg(SheetLimits::kMaxBytes / (1024 * 1024));
        return read;
    }
    const CsvInput input = CsvParserInput(bytes);
    if (!input.error.isEmpty()) {
        read.error = input.error;
        return read;
    }
    const QByteArray text = WithoutByteOrderMark(input.bytes);
    CsvBuilder builder;
    builder.encoding = DetectSheetEncoding(text);

    const std::unique_ptr<csv_parser, ParserFree> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) {
        read.error = Tr("CsvSheet", "NoMemory", "Out of memory.");
        return read;
    }
    csv_set_delim(parser.get(), static_cast<unsigned char>(DetectCsvDelimiter(text)));
    csv_set_space_func(parser.get(), NoSpace);

    const auto size = static_cast<size_t>(text.size());
    const size_t parsed = csv_parse(parser.get(), text.constData(), size, OnField, OnLineEnd, &builder);
    const bool wellFormed = parsed == size && csv_fini(parser.get(), OnField, OnLineEnd, &builder) == 0;
    if (builder.tooManyRows) {
        read.error = TooManyRowsError();
    } else if (!wellFormed) {
        read.error = Tr("CsvSheet", "NotCsv", "Line %1 is not valid CSV (%2).")
                         .arg(builder.line)
                         .arg(QString::fromLatin1(csv_strerror(csv_error(parser.get()))));
    } else {
        read.sheet = std::move(builder.sheet);
    }
    return read;
}

QByteArray CsvSheetBytes(const QList<QStringList>& rows, char delimiter)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                bytes += delimiter;
            const QByteArray field = row[i].toUtf8();
            bytes += NeedsQuotes(row[i], delimiter) ? QuotedField(field) : field;
        }
        bytes += "\r\n";
    }
    return bytes;
}
