#include "cli/CliOptions.h"

#include "cli/FileArguments.h"
#include "cli/SeveralRegistersCommand.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

using Command = CliOptions::Command;

const QString kBase = QStringLiteral("--base");
const QString kCount = QStringLiteral("--count");
const QString kNew = QStringLiteral("--new"); // the only option without a value
const QString kRegister = QStringLiteral("--register");
const QString kAllRegisters = QStringLiteral("--all-registers");

struct CommandEntry
{
    QString name;
    Command command;
    QStringList ownOptions; // besides the port and link options every command takes
};

const QList<CommandEntry>& Commands()
{
    static const QList<CommandEntry> kCommands{
        {QStringLiteral("download"), Command::Download,
         {QStringLiteral("--tables"), QStringLiteral("--range"), QStringLiteral("--verify"),
          QStringLiteral("--changes-only"), kRegister, kAllRegisters}},
        {QStringLiteral("upload"), Command::Upload,
         {QStringLiteral("--tables"), QStringLiteral("--range"), kNew, kRegister, kAllRegisters}},
        {QStringLiteral("test"), Command::Test, {}},
        {QStringLiteral("dump"), Command::Dump, {kBase, kCount}},
        {QStringLiteral("program"), Command::Program, {QStringLiteral("--first-block")}},
        {QStringLiteral("font"), Command::Font, {}},
        {QStringLiteral("doctor"), Command::Doctor, {}},
        {QStringLiteral("compare"), Command::Compare,
         {QStringLiteral("--tables"), QStringLiteral("--range"), kRegister, kAllRegisters}},
        {QStringLiteral("history"), Command::History, {QStringLiteral("--force")}},
    };
    return kCommands;
}

const QSet<QString>& CommonOptions()
{
    static const QSet<QString> kCommon{QStringLiteral("--port"), QStringLiteral("--baud"),
                                       QStringLiteral("--settings"), QStringLiteral("--retry-interval"),
                                       QStringLiteral("--retry-count")};
    return kCommon;
}

// The options seen on the command line, and the dump's texts, which are only
// judged together.
struct GivenOptions
{
    QSet<QString> names;
    QString base;
    QString count;
};

bool IsKnownOption(const QString& name)
{
    if (CommonOptions().contains(name))
        return true;
    const auto& commands = Commands();
    return std::any_of(commands.cbegin(), commands.cend(),
                       [&name](const CommandEntry& entry) { return entry.ownOptions.contains(name); });
}

CliParse UsageError(const QString& message)
{
    CliParse parse;
    parse.outcome = CliParse::Outcome::UsageError;
    parse.error = message;
    return parse;
}

std::optional<int> WholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<unsigned> ParseTables(const QString& list)
{
    static const QHash<QString, TransferTable> kNames{
        {QStringLiteral("plu"), TransferTable::PLU},
        {QStringLiteral("department"), TransferTable::Department},
        {QStringLiteral("parameter"), TransferTable::Parameter},
    };
    unsigned bits = 0;
    for (const QString& name : list.split(QLatin1Char(','))) {
        const auto found = kNames.constFind(name.trimmed().toLower());
        if (found == kNames.cend())
            return std::nullopt;
        bits |= TableBit(found.value());
    }
    return bits;
}

std::optional<PluRange> ParseRange(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 2)
        return std::nullopt;
    const auto from = WholeNumber(parts[0]);
    const auto to = WholeNumber(parts[1]);
    if (!from || !to)
        return std::nullopt;
    const PluRange range{*from, *to};
    return range.IsValid() ? std::optional<PluRange>(range) : std::nullopt;
}

// Takes the value of one option; the error text when it is not usable.
std::optional<QString> TakeOption(CliOptions& options, GivenOptions& given, const QString& name,
                                  const QString& value)
{
    if (name == QLatin1String("--tables")) {
        const auto tables = ParseTables(value);
        if (!tables)
            return QStringLiteral("--tables takes plu, department and parameter, not \"%1\"").arg(value);
        options.tables = *tables;
        options.tablesGiven = true;
    } else if (name == QLatin1String("--range")) {
        const auto range = ParseRange(value);
        if (!range)
            return QStringLiteral("Invalid PLU range \"%1\" (FROM-TO, 1 <= FROM <= TO <= 3000)").arg(value);
        options.range = *range;
    } else if (name == QLatin1String("--port")) {
        if (value.isEmpty())
            return QStringLiteral("--port needs a port name");
        if (PortNamedBefore(options.ports, value))
            return QStringLiteral("the port %1 is named twice").arg(value);
        options.port = value;
        options.ports << value;
    } else if (name == kRegister) {
        if (value.trimmed().isEmpty())
            return QStringLiteral("--register needs a register's name");
        if (options.registerNames.contains(value.trimmed(), Qt::CaseInsensitive))
            return QStringLiteral("the register %1 is named twice").arg(value);
        options.registerNames << value.trimmed();
    } else if (name == QLatin1String("--baud")) {
        const auto index = WholeNumber(value);
        if (!index || *index < 0 || *index > 4)
            return QStringLiteral("--baud takes 0 to 4, not \"%1\"").arg(value);
        options.baudIndex = *index;
    } else if (name == QLatin1String("--settings")) {
        if (value.isEmpty())
            return QStringLiteral("--settings needs a file");
        options.settings = value;
    } else if (name == QLatin1String("--retry-interval")) {
        const auto ms = WholeNumber(value);
        if (!ms || *ms < 1 || *ms > 60000)
            return QStringLiteral("--retry-interval takes 1 to 60000 ms, not \"%1\"").arg(value);
        options.retryInterval = *ms;
    } else if (name == QLatin1String("--retry-count")) {
        const auto count = WholeNumber(value);
        if (!count || *count < 0 || *count > 10)
            return QStringLiteral("--retry-count takes 0 to 10, not \"%1\"").arg(value);
        options.retryCount = *count;
    } else if (name == QLatin1String("--first-block")) {
        const auto block = WholeNumber(value);
        if (!block || *block < 0 || *block > MemoryRangeInput::kLastBlock)
            return QStringLiteral("--first-block takes 0 to 65535, not \"%1\"").arg(value);
        options.firstBlock = *block;
    } else if (name == kBase) {
        given.base = value;
    } else if (name == kCount) {
        given.count = value;
    } else {
        return QStringLiteral("unknown option %1").arg(name);
    }
    given.names.insert(name);
    return std::nullopt;
}

// Options without a value; false for any other argument.
bool TakeFlag(CliOptions& options, const QString& argument)
{
    if (argument == QLatin1String("--verify"))
        options.verify = true;
    else if (argument == QLatin1String("--changes-only"))
        options.changesOnly = true;
    else if (argument == QLatin1String("--force"))
        options.force = true;
    else if (argument == kAllRegisters)
        options.allRegisters = true;
    else
        return false;
    return true;
}

// Why a run of blocks is refused, in the operator's terms.
QString RunError(const QString& baseHex, const QString& countText)
{
    static const QRegularExpression kHexDigits(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    const auto count = WholeNumber(countText.trimmed());
    if (!count)
        return QStringLiteral("--count takes a number of blocks, not \"%1\"").arg(countText);
    if (*count < 1)
        return QStringLiteral("--count takes 1 block or more, not %1").arg(*count);
    if (!kHexDigits.match(baseHex.trimmed()).hasMatch())
        return QStringLiteral("--base takes a block number in hexadecimal digits, not \"%1\"").arg(baseHex);
    return QStringLiteral("%1 blocks from block %2 run past the last block FFFF").arg(*count).arg(baseHex.trimmed());
}

// dump rom|ram|fiscal OUT, or dump --base HEX --count N OUT.
std::optional<QString> TakeDumpArguments(CliOptions& options, const GivenOptions& given, const QStringList& files)
{
    static const QHash<QString, int> kAreas{
        {QStringLiteral("rom"), MemoryRangeChoice::ROM},
        {QStringLiteral("ram"), MemoryRangeChoice::RAM},
        {QStringLiteral("fiscal"), MemoryRangeChoice::FISCAL},
    };
    const bool run = given.names.contains(kBase) || given.names.contains(kCount);
    if (files.size() == 2) {
        const auto area = kAreas.constFind(files[0].toLower());
        if (area == kAreas.cend())
            return QStringLiteral("dump reads rom, ram or fiscal, not \"%1\"").arg(files[0]);
        if (run)
            return QStringLiteral("give dump an area or --base and --count, not both");
        options.memory = MemoryRangeChoice{area.value(), 0, 0};
        options.file = files[1];
        return std::nullopt;
    }
    if (files.size() != 1 || (!run && kAreas.contains(files[0].toLower())))
        return QStringLiteral("give dump an area (rom, ram or fiscal) or --base and --count, and the listing file");
    if (!given.names.contains(kBase) || !given.names.contains(kCount))
        return QStringLiteral("dump of a run of blocks needs both --base HEX and --count N");
    // Not one of the three areas: the run of blocks from the base on.
    constexpr int kChosenRun = -1;
    const auto choice = MemoryRangeInput::Parse(kChosenRun, given.base, given.count);
    if (!choice)
        return RunError(given.base, given.count);
    options.memory = *choice;
    options.file = files[0];
    return std::nullopt;
}

// history, history show N, history export N OUT.PLU
std::optional<QString> TakeHistoryArguments(CliOptions& options, const QStringList& words)
{
    if (words.isEmpty())
        return std::nullopt;
    const QString action = words[0];
    if (action == QLatin1String("readings") && words.size() == 1) {
        options.historyAction = action;
        return std::nullopt;
    }
    const qsizetype wanted = action == QLatin1String("export") ? 3 : 2;
    if ((action != QLatin1String("show") && action != QLatin1String("export")) || words.size() != wanted)
        return QStringLiteral("history takes nothing, show N, export N OUT.PLU or readings");
    bool ok = false;
    const qint64 id = words[1].toLongLong(&ok);
    if (!ok || id < 1)
        return QStringLiteral("history %1 takes an entry number, not \"%2\"").arg(action, words[1]);
    options.historyAction = action;
    options.historyId = id;
    if (wanted == 3) {
        if (const QString problem = FileArguments::DocumentProblem(QStringLiteral("history export"), words[2]);
            !problem.isEmpty())
            return problem;
        options.file = words[2];
    }
    return std::nullopt;
}

// The files after the command word.
std::optional<QString> TakeFiles(CliOptions& options, const CommandEntry& entry, const GivenOptions& given,
                                 const QStringList& files)
{
    switch (entry.command) {
    case Command::Test:
    case Command::Doctor:
        if (!files.isEmpty())
            return QStringLiteral("%1 takes no file").arg(entry.name);
        return std::nullopt;
    case Command::Dump:
        return TakeDumpArguments(options, given, files);
    case Command::History:
        return TakeHistoryArguments(options, files);
    case Command::Download:
    case Command::Upload:
    case Command::Compare:
    case Command::Program:
    case Command::Font:
        break;
    }
    static const QHash<Command, QString> kFileNames{
        {Command::Download, QStringLiteral("a document")},
        {Command::Upload, QStringLiteral("a document")},
        {Command::Compare, QStringLiteral("a document")},
        {Command::Program, QStringLiteral("a program image")},
        {Command::Font, QStringLiteral("a font file")},
    };
    if (files.isEmpty())
        return QStringLiteral("give %1 %2").arg(entry.name, kFileNames.value(entry.command));
    if (files.size() > 1)
        return QStringLiteral("%1 takes one %2").arg(entry.name, kFileNames.value(entry.command).section(u' ', 1));
    if (entry.command == Command::Download || entry.command == Command::Upload
        || entry.command == Command::Compare) {
        if (const QString problem = FileArguments::DocumentProblem(entry.name, files[0]); !problem.isEmpty())
            return problem;
    }
    options.file = files[0];
    return std::nullopt;
}

} // namespace

QString CliUsage()
{
    return QStringLiteral(
        "Usage: plu-cli download|upload DOC.PLU [options]\n"
        "       plu-cli test [options]\n"
        "       plu-cli dump rom|ram|fiscal OUT [options]\n"
        "       plu-cli dump --base HEX --count N OUT [options]\n"
        "       plu-cli program IMAGE.hex [--first-block N] [options]\n"
        "       plu-cli font FILE.fnt [options]\n"
        "       plu-cli compare DOC.PLU [--tables LIST] [--range FROM-TO] [options]\n"
        "       plu-cli history [show N | export N OUT.PLU [--force] | readings] [--settings FILE]\n"
        "       plu-cli doctor [--port COMn|PATH]\n"
        "       plu-cli download|compare DOC.PLU --port A --port B ... | --register NAME ...\n"
        "                                        | --all-registers [options]\n"
        "\n"
        "  download  send the document's tables and the parameter set to the register\n"
        "  upload    read them from the register into the document DOC.PLU (.DEP, .RCY;\n"
        "            an existing one keeps the tables and rows not uploaded) and the\n"
        "            parameter set into the settings file\n"
        "  test      check that a register answers on the port (log-in and log-out)\n"
        "  dump      read the register's ROM, RAM or fiscal memory, or N blocks of 256\n"
        "            bytes from block HEX on, and leave the hexadecimal listing at OUT\n"
        "  program   replace the register's program with an image of 256-byte blocks\n"
        "  font      load a font file into the register\n"
        "  compare   read the tables from the register and list every field that differs\n"
        "            from the document (exit 3 when any does)\n"
        "  history   list the transfers kept beside the settings file, show one, or\n"
        "            write its tables as a document (a new one; an existing one only\n"
        "            with --force, keeping its recycling table)\n"
        "            history readings lists the sales readings uploads kept\n"
        "  doctor    check the connection step by step: the serial devices present, the\n"
        "            port's device, access, lock file, other programs using it, and a\n"
        "            log-in at each line rate; exit 0 when the register answered\n"
        "\n"
        "Options:\n"
        "  --tables LIST          plu,department,parameter (default plu,department);\n"
        "                         a department table without a named department is\n"
        "                         sent only when named here\n"
        "  --range FROM-TO        PLU numbers, 1 to 3000 (default 1-3000)\n"
        "  --verify               download: read the tables back and compare\n"
        "  --changes-only         download: send only what changed since the register\n"
        "                         was last seen on this port (keyboard changes at the\n"
        "                         register are not seen; --verify catches them)\n"
        "  --new                  upload: start from an empty document instead of\n"
        "                         keeping what the upload does not replace\n"
        "  --force                history export: replace an existing document\n"
        "  --base HEX --count N   the run of blocks a dump reads (block numbers 0 to FFFF)\n"
        "  --first-block N        first image block sent, 0 to 65535\n"
        "                         (default [Address] Update of the settings, else 16)\n"
        "  --port COMn|PATH       serial port (default COM + [Comm] Port of the settings)\n"
        "  --port A --port B ...  download, compare: several registers side by side\n"
        "  --register NAME        download, compare: a register listed in [Registers] of\n"
        "                         the settings (repeatable; its own port and rate)\n"
        "  --all-registers        download, compare: every register listed there\n"
        "  --baud 0-4             line speed 9600, 19200, 38400, 57600, 115200\n"
        "                         (default [Comm] BaudRate of the settings)\n"
        "  --settings FILE        settings file (default SYSTEM.CFG beside plu-cli, or in\n"
        "                         ~/.config/tqr716-plu-manager/ when installed); the\n"
        "                         link trace and the dump's work files go beside it\n"
        "  --retry-interval MS    wait for each answer of the register (default 1000)\n"
        "  --retry-count N        repeats before a package fails, 0 to 10 (default 10)\n"
        "  --help                 show this text\n"
        "  --version              show the program's version\n"
        "\n"
        "Progress and errors go to standard error; dump prints the listing's path.\n"
        "Messages are always in English, whatever language the windows use: scripts\n"
        "read them.\n"
        "Ctrl+C cancels.\n"
        "Exit status: 0 done, 1 the command failed, 2 wrong command line,\n"
        "3 compare found differences. With several registers: one line per register\n"
        "on standard output as each ends; 1 when any failed, 3 when any differs.\n");
}

CliParse ParseCliOptions(const QStringList& arguments)
{
    CliParse parse;
    CliOptions& options = parse.options;
    GivenOptions given;
    QStringList positional;

    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parse.outcome = CliParse::Outcome::Help;
            return parse;
        }
        if (argument == QLatin1String("--version")) {
            parse.outcome = CliParse::Outcome::Version;
            return parse;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            positional << argument;
            continue;
        }
        if (argument == kNew) {
            options.newDocument = true;
            given.names.insert(kNew);
            continue;
        }
        if (TakeFlag(options, argument)) {
            given.names.insert(argument);
            continue;
        }
        // --name=value or --name value
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        }
        if (!IsKnownOption(argument) || argument == kNew)
            return UsageError(QStringLiteral("unknown option %1").arg(argument));
        if (equals < 0) {
            if (i + 1 >= arguments.size())
                return UsageError(QStringLiteral("%1 needs a value").arg(argument));
            value = arguments[++i];
        }
        if (const auto error = TakeOption(options, given, argument, value))
            return UsageError(*error);
    }

    if (positional.isEmpty())
        return UsageError(QStringLiteral(
            "give a command: download, upload, compare, history, test, dump, program, font or doctor"));
    const QString commandName = positional.takeFirst();
    const auto& commands = Commands();
    const auto entry = std::find_if(commands.cbegin(), commands.cend(),
                                    [&commandName](const CommandEntry& e) { return e.name == commandName; });
    if (entry == commands.cend())
        return UsageError(QStringLiteral("unknown command \"%1\"").arg(commandName));
    options.command = entry->command;

    for (const QString& name : std::as_const(given.names)) {
        if (!CommonOptions().contains(name) && !entry->ownOptions.contains(name))
            return UsageError(QStringLiteral("%1 does not apply to %2").arg(name, entry->name));
    }
    if (const auto error = TakeFiles(options, *entry, given, positional))
        return UsageError(*error);
    if (options.command == Command::Compare && (options.tables & TableBit(TransferTable::Parameter)) != 0)
        return UsageError(QStringLiteral("compare takes the tables plu and department"));
    if (const QString problem = RegistersProblem(options); !problem.isEmpty())
        return UsageError(problem);
    return parse;
}
