#include "cli/LabelCommand.h"

#include "cli/CommandWords.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"
#include "cli/InterruptNotifier.h"
#include "cli/PortSettings.h"

#include "config/SettingsFile.h"
#include "files/Document.h"
#include "files/FileError.h"
#include "labels/KnownRegisterState.h"
#include "labels/LabelArticles.h"
#include "labels/LabelPdf.h"
#include "labels/LabelSettings.h"
#include "model/Columns.h"
#include "model/RecyTable.h"
#include "model/RowScope.h"
#include "model/TextTable.h"
#include "transfer/TransferRequest.h"

#include <QRegularExpression>

#include <cstdio>
#include <map>
#include <optional>

namespace {

const QString kLabels = QStringLiteral("labels");

const QStringList kValueOptions{
    QStringLiteral("--rows"),   QStringLiteral("--department"), QStringLiteral("--layout"),
    QStringLiteral("--page"),   QStringLiteral("--grid"),       QStringLiteral("--label"),
    QStringLiteral("--margins"), QStringLiteral("--gaps"),      QStringLiteral("--skip"),
    QStringLiteral("--copies"), QStringLiteral("--currency"),   QStringLiteral("--port"),
    QStringLiteral("--settings")};
const QStringList kCustomOptions{QStringLiteral("--page"), QStringLiteral("--grid"), QStringLiteral("--label"),
                                 QStringLiteral("--margins"), QStringLiteral("--gaps")};

struct LabelsParse
{
    bool help = false;
    bool listLayouts = false;
    QString document;
    QString pdf;
    std::map<QString, QString> values;
    QString error;
};

bool TakesValue(const QString& option)
{
    return kValueOptions.contains(option);
}

QStringList Positional(const QStringList& arguments)
{
    return CommandWords::Positional(arguments, kValueOptions);
}

LabelsParse Parse(const QStringList& arguments)
{
    LabelsParse parse;
    const CommandWords::OptionScan scan =
        CommandWords::ScanOptions(arguments, kValueOptions, [&parse](const QString& name, const QString& value) {
            if (name == QLatin1String("--list-layouts"))
                parse.listLayouts = true;
            else if (TakesValue(name))
                parse.values[name] = value;
            else
                return QStringLiteral("%1 does not apply to labels").arg(name);
            return QString();
        });
    parse.help = scan.help;
    parse.error = scan.error;
    if (scan.help || !scan.error.isEmpty())
        return parse;
    const QStringList positional = Positional(arguments);
    if (parse.listLayouts) {
        if (positional.size() != 1 || !parse.values.empty())
            parse.error = QStringLiteral("--list-layouts takes nothing else");
        return parse;
    }
    if (positional.size() != 3) {
        parse.error = QStringLiteral("give labels a document and a PDF file");
        return parse;
    }
    parse.document = positional[1];
    parse.pdf = positional[2];
    if (const QString problem = FileArguments::DocumentProblem(kLabels, parse.document); !problem.isEmpty())
        parse.error = problem;
    else if (!parse.pdf.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        parse.error = QStringLiteral("give the labels' file as a .pdf file, not \"%1\"").arg(parse.pdf);
    return parse;
}

// What the command line asks for, checked before anything is read or drawn.
struct LabelsRequest
{
    LabelLayout layout;
    int copies = 1;
    int skip = 0;
    QString currency;
    bool changed = false;
    std::optional<PluRange> range;
    std::optional<int> department;
};

std::optional<int> Whole(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString TakeRows(const QString& text, LabelsRequest& request)
{
    if (text == QLatin1String("all"))
        return QString();
    if (text == QLatin1String("changed")) {
        request.changed = true;
        return QString();
    }
    static const QRegularExpression kRange(QStringLiteral("^([0-9]{1,4})-([0-9]{1,4})$"));
    const QRegularExpressionMatch match = kRange.match(text);
    PluRange range{match.captured(1).toInt(), match.captured(2).toInt()};
    if (!match.hasMatch() || !range.IsValid())
        return QStringLiteral("--rows takes all, changed or FROM-TO (1 to 3000), not \"%1\"").arg(text);
    request.range = range;
    return QString();
}

QString TakeLayout(const std::map<QString, QString>& values, LabelsRequest& request)
{
    const auto value = [&values](const char* name) {
        const auto found = values.find(QString::fromLatin1(name));
        return found == values.end() ? std::optional<QString>() : std::optional<QString>(found->second);
    };
    bool custom = false;
    for (const QString& option : kCustomOptions)
        custom = custom || values.count(option) != 0;
    if (const auto name = value("--layout")) {
        if (custom)
            return QStringLiteral("--layout and the options of a custom layout exclude each other");
        const auto layout = NamedLayout(*name);
        if (!layout)
            return QStringLiteral("no layout \"%1\" (plu-cli labels --list-layouts lists them)").arg(*name);
        request.layout = *layout;
        return QString();
    }
    if (!custom)
        return QString();
    const auto page = ParsePageSize(value("--page").value_or(QStringLiteral("A4")));
    const auto grid = ParseGrid(value("--grid").value_or(QString()));
    const auto label = ParseMillimetres(value("--label").value_or(QString()), u'x');
    const auto margins = ParseMillimetres(value("--margins").value_or(QStringLiteral("0,0")), u',');
    const auto gaps = ParseMillimetres(value("--gaps").value_or(QStringLiteral("0,0")), u',');
    if (!page)
        return QStringLiteral("--page takes A4, Letter or WIDTHxHEIGHT in mm");
    if (!grid)
        return QStringLiteral("a custom layout needs --grid COLUMNSxROWS");
    if (!label)
        return QStringLiteral("a custom layout needs --label WIDTHxHEIGHT in mm");
    if (!margins)
        return QStringLiteral("--margins takes TOP,LEFT in mm");
    if (!gaps)
        return QStringLiteral("--gaps takes HORIZONTAL,VERTICAL in mm");
    request.layout = CustomLayout(*page, grid->first, grid->second, *label, margins->width(), margins->height(),
                                  gaps->width(), gaps->height());
    return QString();
}

QString TakeCounts(const std::map<QString, QString>& values, LabelsRequest& request)
{
    for (const auto& [name, target] : {std::pair{QStringLiteral("--copies"), &request.copies},
                                       std::pair{QStringLiteral("--skip"), &request.skip}}) {
        const auto found = values.find(name);
        if (found == values.end())
            continue;
        const auto number = Whole(found->second);
        if (!number)
            return QStringLiteral("%1 takes a whole number, not \"%2\"").arg(name, found->second);
        *target = *number;
    }
    if (const auto found = values.find(QStringLiteral("--department")); found != values.end()) {
        const auto number = Whole(found->second);
        if (!number || *number < 1 || *number > 9)
            return QStringLiteral("--department takes 1 to 9, not \"%1\"").arg(found->second);
        request.department = *number;
    }
    return QString();
}

// The request, or why the command line cannot be used.
QString MakeRequest(const LabelsParse& parse, const LabelOptions& saved, LabelsRequest& request)
{
    request.layout = saved.layout;
    request.currency = saved.currency;
    if (const auto currency = parse.values.find(QStringLiteral("--currency")); currency != parse.values.end())
        request.currency = currency->second;
    if (const auto rows = parse.values.find(QStringLiteral("--rows")); rows != parse.values.end()) {
        if (const QString error = TakeRows(rows->second, request); !error.isEmpty())
            return error;
    }
    if (const QString error = TakeLayout(parse.values, request); !error.isEmpty())
        return error;
    if (const QString error = TakeCounts(parse.values, request); !error.isEmpty())
        return error;
    if (const QString problem = LayoutProblem(request.layout); !problem.isEmpty())
        return QStringLiteral("the layout cannot be printed: %1").arg(problem);
    return CountProblem(request.layout, request.copies, request.skip);
}

void PrintOut(const QString& text)
{
    std::fputs(ConsoleText::Bytes(text + u'\n').constData(), stdout);
}

int ListLayouts()
{
    for (const LabelLayout& layout : NamedLayouts())
        PrintOut(QStringLiteral("%1\t%2").arg(layout.name, layout.description));
    PrintOut(QStringLiteral("custom\t--page A4|Letter|WxH --grid CxR --label WxH --margins T,L --gaps H,V (mm)"));
    return ExitStatus::kDone;
}

QString PortOf(const LabelsParse& parse, const QString& settingsPath)
{
    if (const auto port = parse.values.find(QStringLiteral("--port")); port != parse.values.end())
        return port->second;
    return PortNameFor(ReadPortSettings(settingsPath).number);
}

int Write(const LabelsParse& parse, const LabelsRequest& request, const QString& settingsPath)
{
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    const QString path = FileArguments::AbsolutePath(parse.document);
    if (!FilePath(path).Exists()) {
        ExitStatus::PrintError(QStringLiteral("%1: no such document").arg(parse.document));
        return ExitStatus::kFailed;
    }
    for (const QString& note : document.LoadDocument(path))
        ExitStatus::PrintError(QStringLiteral("warning: ") + note);

    if (const QString problem = FileArguments::FileToWriteProblem(parse.pdf); !problem.isEmpty()) {
        ExitStatus::PrintError(QStringLiteral("%1: %2").arg(parse.pdf, problem));
        return ExitStatus::kFailed;
    }
    const QString port = PortOf(parse, settingsPath);
    const KnownRegisterState state = ReadKnownRegisterState(port);
    std::vector<int> rows = ScopeRows(plu, RowScope::All, {}, {}, 0);
    if (request.changed) {
        const auto changed = RowsChangedSince(plu, state.known);
        if (!changed) {
            ExitStatus::PrintError(UnknownRegisterStateText(state, port));
            return ExitStatus::kFailed;
        }
        rows = *changed;
    }
    std::erase_if(rows, [&](int row) {
        const bool outside = request.range && (row < request.range->begin || row > request.range->end);
        const bool otherDepartment =
            request.department && plu.Cell(PLUColumn::Department, row) != QString::number(*request.department);
        return outside || otherDepartment;
    });
    const std::vector<LabelArticle> articles =
        LabelArticles(plu, departments, rows, state.PriceDecimals(), request.currency);
    if (articles.empty()) {
        ExitStatus::PrintError(QStringLiteral("no article to label: no PLU with a name is chosen"));
        return ExitStatus::kFailed;
    }
    for (const QString& warning : BarcodeWarnings(articles))
        ExitStatus::PrintError(QStringLiteral("warning: ") + warning);
    if (InterruptNotifier::Interrupted())
        return ExitStatus::Interrupted(parse.pdf);
    const std::vector<LabelArticle> sequence = LabelSequence(articles, request.copies, request.skip);
    if (const QString problem = WriteLabelsPdf(FileArguments::AbsolutePath(parse.pdf), request.layout, sequence);
        !problem.isEmpty()) {
        ExitStatus::PrintError(QStringLiteral("%1: %2").arg(parse.pdf, problem));
        return ExitStatus::kFailed;
    }
    const std::size_t labels = sequence.size() - std::size_t(request.skip);
    PrintOut(QStringLiteral("Saved %1 %2 on %3 %4 to %5")
                 .arg(labels)
                 .arg(QLatin1String(labels == 1 ? "label" : "labels"))
                 .arg(PageCount(sequence.size(), request.layout.LabelsPerPage()))
                 .arg(QLatin1String(PageCount(sequence.size(), request.layout.LabelsPerPage()) == 1 ? "page" : "pages"))
                 .arg(parse.pdf));
    return ExitStatus::kDone;
}

} // namespace

bool IsLabelsCommand(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return IsLabelsCommand(arguments);
}

bool IsLabelsCommand(const QStringList& arguments)
{
    return Positional(arguments).value(0) == kLabels;
}

int RunLabelsCommand(const QStringList& arguments)
{
    const LabelsParse parse = Parse(arguments);
    if (parse.help) {
        std::fputs(LabelsUsage().toLocal8Bit().constData(), stdout);
        return ExitStatus::kDone;
    }
    if (!parse.error.isEmpty())
        return ExitStatus::UsageError(parse.error);
    if (parse.listLayouts)
        return ListLayouts();
    const auto settings = parse.values.find(QStringLiteral("--settings"));
    const QString settingsPath = UseSettingsFile(settings == parse.values.end() ? std::optional<QString>()
                                                                                : std::optional<QString>(settings->second));
    LabelsRequest request;
    if (const QString error = MakeRequest(parse, ReadLabelOptions(SettingsFile(settingsPath)), request);
        !error.isEmpty()) {
        ExitStatus::PrintError(error);
        return ExitStatus::kUsage;
    }
    // A signal ends the command before it writes, or lets the write finish:
    // the file is then either as it was or new, and no temporary file stays.
    const InterruptNotifier interrupt(nullptr);
    try {
        return Write(parse, request, settingsPath);
    } catch (const FileError& error) {
        ExitStatus::PrintError(error.Message());
    }
    return ExitStatus::kFailed;
}

QString LabelsUsage()
{
    return QStringLiteral(
        "\n"
        "Shelf labels (no register needed):\n"
        "       plu-cli labels DOC.PLU OUT.pdf [--rows all|changed|FROM-TO] [--department N]\n"
        "                      [--layout NAME | --page A4|Letter|WxH --grid CxR --label WxH\n"
        "                       --margins T,L --gaps H,V] [--skip K] [--copies N]\n"
        "                      [--currency TEXT] [--port COMn] [--settings FILE]\n"
        "       plu-cli labels --list-layouts\n"
        "\n"
        "  labels    draw a shelf label for each named PLU (name, price, PLU number,\n"
        "            department, barcode) into a PDF; --rows changed takes the PLUs whose\n"
        "            name, price or barcode differ from what the register on the port was\n"
        "            last seen with; sizes in mm; --skip leaves the first K labels of the\n"
        "            first sheet empty; layout and currency default to section [Labels]\n");
}
