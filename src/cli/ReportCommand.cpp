#include "cli/ReportCommand.h"

#include "cli/CommandWords.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"
#include "cli/PortSettings.h"

#include "files/Document.h"
#include "files/FileError.h"
#include "history/HistoryDevice.h"
#include "history/HistoryStore.h"
#include "model/Numbers.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "reports/ReportFiles.h"
#include "reports/ReportPage.h"
#include "reports/SalesPeriod.h"
#include "reports/SalesReport.h"

#include <QHash>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const QString kReport = QStringLiteral("report");
const QStringList kValueOptions{QStringLiteral("--view"), QStringLiteral("--from"), QStringLiteral("--to"),
                                QStringLiteral("--threshold"), QStringLiteral("--port"),
                                QStringLiteral("--settings")};

struct ReportOptions
{
    QString document;
    QString output;
    SalesView view = SalesView::Departments;
    bool fromHistory = false;
    PeriodBounds bounds;
    Decimal threshold{5, 0};
    std::optional<QString> port;
    std::optional<QString> settings;
};

struct ReportParse
{
    ReportOptions options;
    QString error;
    bool help = false;
};

QStringList Positional(const QStringList& arguments)
{
    return CommandWords::Positional(arguments, kValueOptions);
}

std::optional<QString> TakeValue(ReportOptions& options, const QString& name, const QString& value)
{
    if (name == QLatin1String("--view")) {
        const auto view = SalesViewOfName(value);
        if (!view)
            return QStringLiteral("--view takes departments, articles, unsold, daily or stock, not \"%1\"").arg(value);
        options.view = *view;
    } else if (name == QLatin1String("--from") || name == QLatin1String("--to")) {
        const bool from = name == QLatin1String("--from");
        if (!ParsePeriodBound(value, from ? options.bounds.fromId : options.bounds.toId,
                              from ? options.bounds.fromDate : options.bounds.toDate))
            return QStringLiteral("%1 takes a date (yyyy-mm-dd) or a reading's number, not \"%2\"").arg(name, value);
        options.fromHistory = true;
    } else if (name == QLatin1String("--threshold")) {
        const auto threshold = Decimal::Parse(value, QLatin1Char('.'));
        if (!threshold)
            return QStringLiteral("--threshold takes a number of pieces, not \"%1\"").arg(value);
        options.threshold = *threshold;
    } else if (value.isEmpty()) {
        return QStringLiteral("%1 needs a value").arg(name);
    } else if (name == QLatin1String("--port")) {
        options.port = value;
    } else {
        options.settings = value;
    }
    return std::nullopt;
}

std::optional<QString> TakeFiles(ReportOptions& options, const QStringList& positional)
{
    // positional[0] is the command word.
    if (positional.size() < 2 || positional.size() > 3)
        return QStringLiteral("give report an output file (.csv, .xlsx or .pdf), after the document");
    options.output = positional.last();
    if (positional.size() == 3) {
        options.document = positional[1];
        if (const QString problem = FileArguments::DocumentProblem(kReport, options.document); !problem.isEmpty())
            return problem;
    }
    if (!ReportFormatOf(options.output))
        return QStringLiteral("give the report as a .csv, .xlsx or .pdf file, not \"%1\"").arg(options.output);
    if (!options.fromHistory && options.document.isEmpty())
        return QStringLiteral("the current figures are the document's: give SHOP.PLU, or --from for the history");
    if (options.fromHistory && options.bounds.fromId == 0 && !options.bounds.fromDate)
        return QStringLiteral("--to needs --from");
    return std::nullopt;
}

ReportParse ParseReport(const QStringList& arguments)
{
    ReportParse parse;
    const CommandWords::OptionScan scan =
        CommandWords::ScanOptions(arguments, kValueOptions, [&](const QString& name, const QString& value) {
            if (!kValueOptions.contains(name))
                return QStringLiteral("%1 does not apply to report").arg(name);
            return TakeValue(parse.options, name, value).value_or(QString());
        });
    parse.help = scan.help;
    parse.error = scan.error;
    if (scan.help || !scan.error.isEmpty())
        return parse;
    if (const auto error = TakeFiles(parse.options, Positional(arguments)))
        parse.error = *error;
    return parse;
}

// The figures the report is made from, or why there are none.
std::optional<SalesFigures> Figures(const ReportOptions& options, const TextTable& plu)
{
    if (!options.fromHistory)
        return CurrentFigures(plu);
    HistoryStore store(HistoryDatabasePath(), HistoryLimits(), HistoryStore::Access::ReadOnly);
    if (!store.Error().isEmpty()) {
        ExitStatus::PrintError(store.Error());
        return std::nullopt;
    }
    const QString device = options.port ? HistoryDevice(*options.port) : QString();
    const PeriodChoice choice = LoadPeriod(store, device, options.bounds);
    if (!choice.period) {
        ExitStatus::PrintError(choice.error);
        return std::nullopt;
    }
    return FiguresOfPeriod(*choice.period);
}

void Write(const SalesReport& report, const QString& path)
{
    switch (*ReportFormatOf(path)) {
    case ReportFormat::Csv:
        WriteSalesReportCsv(report, path);
        break;
    case ReportFormat::Xlsx:
        WriteSalesReportXlsx(report, path);
        break;
    case ReportFormat::Pdf:
        WriteSalesReportPdf(report, path);
        break;
    }
}

int Run(const ReportOptions& options)
{
    UseSettingsFile(options.settings);
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    if (!options.document.isEmpty()) {
        const QString path = FileArguments::AbsolutePath(options.document);
        if (!FilePath(path).Exists()) {
            ExitStatus::PrintError(QStringLiteral("%1: no such document").arg(options.document));
            return ExitStatus::kFailed;
        }
        for (const QString& note : document.LoadDocument(path))
            ExitStatus::PrintError(QStringLiteral("warning: ") + note);
    }
    const auto figures = Figures(options, plu);
    if (!figures)
        return ExitStatus::kFailed;
    const SalesReport report = BuildSalesReport(options.view, *figures, {plu, departments}, options.threshold);
    Write(report, options.output);
    for (const QString& line : report.description)
        ExitStatus::PrintError(line);
    return ExitStatus::kDone;
}

} // namespace

bool IsReportCommand(const QStringList& arguments)
{
    return Positional(arguments).value(0) == kReport;
}

bool ReportDrawsPages(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!IsReportCommand(arguments))
        return false;
    const QStringList positional = Positional(arguments);
    return positional.size() > 1 && ReportFormatOf(positional.last()) == ReportFormat::Pdf;
}

int RunReportCommand(const QStringList& arguments)
{
    const ReportParse parse = ParseReport(arguments);
    if (parse.help) {
        std::fputs(ReportUsage().toLocal8Bit().constData(), stdout);
        return ExitStatus::kDone;
    }
    if (!parse.error.isEmpty())
        return ExitStatus::UsageError(parse.error);
    try {
        return Run(parse.options);
    } catch (const FileError& error) {
        ExitStatus::PrintError(error.Message());
    }
    return ExitStatus::kFailed;
}

QString ReportUsage()
{
    return QStringLiteral(
        "\n"
        "Sales (no register needed):\n"
        "       plu-cli report [SHOP.PLU] OUT.csv|OUT.xlsx|OUT.pdf [--view VIEW]\n"
        "                      [--from DATE|ID] [--to DATE|ID] [--threshold N]\n"
        "                      [--port COMn|PATH] [--settings FILE]\n"
        "       plu-cli history readings [--settings FILE]\n"
        "\n"
        "  report    what sold: without --from the document's Quantity and Total\n"
        "            columns (the last upload); with --from the readings the uploads\n"
        "            kept in the history, of the register on --port (default: the one\n"
        "            read last), from the first reading on DATE or reading ID to the\n"
        "            last one on DATE or reading ID given to --to (default: the last)\n"
        "            views: departments (default), articles (top 20 by turnover and by\n"
        "            quantity), unsold, daily (turnover per day), stock (Stocks at or\n"
        "            below --threshold, default 5)\n"
        "  history readings  list the readings kept\n");
}
