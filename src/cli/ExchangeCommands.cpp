#include "cli/ExchangeCommands.h"

#include "cli/CommandWords.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"
#include "cli/InterruptNotifier.h"

#include "exchange/SheetColumns.h"
#include "exchange/SheetFiles.h"
#include "exchange/TableImport.h"
#include "files/Document.h"
#include "files/FileError.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <cstdio>
#include <optional>

namespace {

const QString kImport = QStringLiteral("import");
const QString kExport = QStringLiteral("export");
const QString kTable = QStringLiteral("--table");
const QString kDelimiter = QStringLiteral("--delimiter");
const QString kAllRows = QStringLiteral("--all-rows");
const QString kDryRun = QStringLiteral("--dry-run");

struct ExchangeOptions
{
    bool import = true;
    QString document;
    QString sheet;
    TableKind table = TableKind::PLU;
    ExportOptions exportOptions;
    bool dryRun = false;
};

struct ExchangeParse
{
    ExchangeOptions options;
    QString error;
    bool help = false;
};

const QStringList kValueOptions{kTable, kDelimiter};

QStringList Positional(const QStringList& arguments)
{
    return CommandWords::Positional(arguments, kValueOptions);
}

std::optional<QString> TakeValue(ExchangeOptions& options, const QString& name, const QString& value)
{
    if (name == kTable) {
        if (value == QLatin1String("plu"))
            options.table = TableKind::PLU;
        else if (value == QLatin1String("department"))
            options.table = TableKind::Department;
        else
            return QStringLiteral("--table takes plu or department, not \"%1\"").arg(value);
        return std::nullopt;
    }
    if (value == QLatin1String(","))
        options.exportOptions.delimiter = ',';
    else if (value == QLatin1String(";"))
        options.exportOptions.delimiter = ';';
    else if (value == QLatin1String("tab"))
        options.exportOptions.delimiter = '\t';
    else
        return QStringLiteral("--delimiter takes \",\", \";\" or tab, not \"%1\"").arg(value);
    return std::nullopt;
}

std::optional<QString> CheckFiles(const ExchangeOptions& options)
{
    if (const QString problem = FileArguments::DocumentProblem(options.import ? kImport : kExport, options.document);
        !problem.isEmpty())
        return problem;
    if (!SheetFormatOf(options.sheet))
        return QStringLiteral("give the sheet as a .csv or .xlsx file, not \"%1\"").arg(options.sheet);
    if (options.exportOptions.delimiter != 0 && SheetFormatOf(options.sheet) != SheetFormat::Csv)
        return QStringLiteral("--delimiter applies to a .csv sheet only");
    return std::nullopt;
}

ExchangeParse ParseExchange(const QStringList& arguments)
{
    ExchangeParse parse;
    ExchangeOptions& options = parse.options;
    const QStringList positional = Positional(arguments);
    options.import = positional.value(0) == kImport;
    const QString command = options.import ? kImport : kExport;
    const CommandWords::OptionScan scan =
        CommandWords::ScanOptions(arguments, kValueOptions, [&](const QString& name, const QString& value) {
            const bool applies =
                name == kTable || (options.import ? name == kDryRun : name == kAllRows || name == kDelimiter);
            if (!applies)
                return QStringLiteral("%1 does not apply to %2").arg(name, command);
            if (name == kDryRun)
                options.dryRun = true;
            else if (name == kAllRows)
                options.exportOptions.allRows = true;
            else if (const auto error = TakeValue(options, name, value))
                return *error;
            return QString();
        });
    parse.help = scan.help;
    parse.error = scan.error;
    if (scan.help || !scan.error.isEmpty())
        return parse;
    if (positional.size() != 3) {
        parse.error = QStringLiteral("give %1 a document and a sheet").arg(command);
        return parse;
    }
    options.document = positional[1];
    options.sheet = positional[2];
    if (const auto error = CheckFiles(options))
        parse.error = *error;
    return parse;
}

void PrintOut(const QString& text)
{
    std::fputs(ConsoleText::Bytes(text + u'\n').constData(), stdout);
}

// One line per changed cell: "PLU 3, Unit price: 2.00 -> 2.50".
void PrintChanges(const TextTable& table, const ImportPlan& plan)
{
    for (const CellChange& change : plan.changes) {
        PrintOut(QStringLiteral("%1 %2, %3: %4 -> %5")
                     .arg(SheetTableName(table.Kind(), true))
                     .arg(change.row)
                     .arg(SheetColumnTitle(table.Kind(), change.column), table.Cell(change.column, change.row),
                          change.text));
    }
}

void PrintNotes(const ReadNotes& notes)
{
    for (const QString& note : notes)
        ExitStatus::PrintError(QStringLiteral("warning: ") + note);
}

int RunExport(const ExchangeOptions& options, Document& document, const TextTable& table)
{
    const QString path = FileArguments::AbsolutePath(options.document);
    if (!FilePath(path).Exists()) {
        ExitStatus::PrintError(QStringLiteral("%1: no such document").arg(options.document));
        return ExitStatus::kFailed;
    }
    PrintNotes(document.LoadDocument(path));
    if (InterruptNotifier::Interrupted())
        return ExitStatus::Interrupted(options.sheet);
    ExportTableFile(table, options.sheet, options.exportOptions);
    return ExitStatus::kDone;
}

int RunImport(const ExchangeOptions& options, Document& document, TextTable& table)
{
    const QString path = FileArguments::AbsolutePath(options.document);
    // Another command must not change the document between this read and
    // the write.
    if (!options.dryRun) {
        if (const QString refusal = document.Lock(path); !refusal.isEmpty()) {
            ExitStatus::PrintError(QStringLiteral("%1: %2").arg(options.document, refusal));
            return ExitStatus::kFailed;
        }
    }
    const bool exists = FilePath(path).Exists();
    if (exists)
        PrintNotes(document.LoadDocument(path));
    const SheetRead read = ReadSheetFile(options.sheet);
    if (!read.Ok()) {
        ExitStatus::PrintError(read.error);
        return ExitStatus::kFailed;
    }
    const ImportPlan plan = PlanImport(table, read.sheet);
    if (!plan.Accepted()) {
        ExitStatus::PrintError(QStringLiteral("%1: %2").arg(options.sheet, plan.Refusal()));
        return ExitStatus::kFailed;
    }
    if (options.dryRun) {
        PrintChanges(table, plan);
        PrintOut(plan.Summary());
        return ExitStatus::kDone;
    }
    if (InterruptNotifier::Interrupted())
        return ExitStatus::Interrupted(options.document);
    ApplyImport(table, plan);
    // A new document gets no department file unless the sheet was one.
    const bool departmentsGiven =
        table.Kind() == TableKind::Department || FilePath(Document::DepPath(path)).Exists();
    document.SaveDocumentAs(path, departmentsGiven ? Document::Files::All : Document::Files::WithoutDepartments);
    PrintOut(plan.Summary());
    return ExitStatus::kDone;
}

} // namespace

bool IsExchangeCommand(const QStringList& arguments)
{
    const QString command = Positional(arguments).value(0);
    return command == kImport || command == kExport;
}

int RunExchangeCommand(const QStringList& arguments)
{
    const ExchangeParse parse = ParseExchange(arguments);
    if (parse.help) {
        std::fputs(ExchangeUsage().toLocal8Bit().constData(), stdout);
        return ExitStatus::kDone;
    }
    if (!parse.error.isEmpty())
        return ExitStatus::UsageError(parse.error);
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    TextTable& table = parse.options.table == TableKind::PLU ? plu : departments;
    // A signal ends the command before it writes, or lets the write finish:
    // the file is then either as it was or new, and no temporary file stays.
    const InterruptNotifier interrupt(nullptr);
    try {
        return parse.options.import ? RunImport(parse.options, document, table)
                                    : RunExport(parse.options, document, table);
    } catch (const FileError& error) {
        ExitStatus::PrintError(error.Message());
    }
    return ExitStatus::kFailed;
}

QString ExchangeUsage()
{
    return QStringLiteral(
        "\n"
        "Spreadsheets (no register needed):\n"
        "       plu-cli export DOC.PLU OUT.csv|OUT.xlsx [--table plu|department] [--all-rows]\n"
        "                      [--delimiter ,|;|tab]\n"
        "       plu-cli import DOC.PLU IN.csv|IN.xlsx [--table plu|department] [--dry-run]\n"
        "\n"
        "  export    write a table of the document as a sheet: the named rows, or every\n"
        "            row with --all-rows; the CSV delimiter is \",\" (\";\" where the decimal\n"
        "            separator is \",\")\n"
        "  import    change the document (created when it does not exist) by a sheet whose\n"
        "            first line holds column titles, \"NO.\" among them; any refused cell\n"
        "            refuses the whole sheet and nothing changes; --dry-run prints the\n"
        "            changes and writes nothing\n");
}
