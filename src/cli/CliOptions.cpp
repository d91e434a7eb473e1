#include "cli/CliOptions.h"

#include <QHash>

namespace {

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

} // namespace

QString CliUsage()
{
    return QStringLiteral(
        "Usage: plu-cli download|upload DOC.PLU [options]\n"
        "\n"
        "  download  send the document's tables and the parameter set to the register\n"
        "  upload    read them from the register into a new document DOC.PLU (.DEP, .RCY)\n"
        "            and into the settings file\n"
        "\n"
        "Options:\n"
        "  --tables LIST          plu,department,parameter (default plu,department)\n"
        "  --range FROM-TO        PLU numbers, 1 to 3000 (default 1-3000)\n"
        "  --port COMn|PATH       serial port (default COM + [Comm] Port of the settings)\n"
        "  --baud 0-4             line speed 9600, 19200, 38400, 57600, 115200\n"
        "                         (default [Comm] BaudRate of the settings)\n"
        "  --settings FILE        settings file (default SYSTEM.CFG beside plu-cli)\n"
        "  --retry-interval MS    wait for each answer of the register (default 1000)\n"
        "  --retry-count N        repeats before a package fails, 0 to 10 (default 10)\n"
        "  --help                 show this text\n"
        "\n"
        "Exit status: 0 done, 1 the transfer failed, 2 wrong command line.\n");
}

CliParse ParseCliOptions(const QStringList& arguments)
{
    CliParse parse;
    CliOptions& options = parse.options;
    QStringList positional;

    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parse.outcome = CliParse::Outcome::Help;
            return parse;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            positional << argument;
            continue;
        }
        // --name=value or --name value
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return UsageError(QStringLiteral("%1 needs a value").arg(argument));
        }

        if (argument == QLatin1String("--tables")) {
            const auto tables = ParseTables(value);
            if (!tables)
                return UsageError(QStringLiteral("--tables takes plu, department and parameter, not \"%1\"").arg(value));
            options.tables = *tables;
        } else if (argument == QLatin1String("--range")) {
            const auto range = ParseRange(value);
            if (!range)
                return UsageError(QStringLiteral("Invalid PLU range \"%1\" (FROM-TO, 1 <= FROM <= TO <= 3000)").arg(value));
            options.range = *range;
        } else if (argument == QLatin1String("--port")) {
            if (value.isEmpty())
                return UsageError(QStringLiteral("--port needs a port name"));
            options.port = value;
        } else if (argument == QLatin1String("--baud")) {
            const auto index = WholeNumber(value);
            if (!index || *index < 0 || *index > 4)
                return UsageError(QStringLiteral("--baud takes 0 to 4, not \"%1\"").arg(value));
            options.baudIndex = *index;
        } else if (argument == QLatin1String("--settings")) {
            if (value.isEmpty())
                return UsageError(QStringLiteral("--settings needs a file"));
            options.settings = value;
        } else if (argument == QLatin1String("--retry-interval")) {
            const auto ms = WholeNumber(value);
            if (!ms || *ms < 1 || *ms > 60000)
                return UsageError(QStringLiteral("--retry-interval takes 1 to 60000 ms, not \"%1\"").arg(value));
            options.retryInterval = *ms;
        } else if (argument == QLatin1String("--retry-count")) {
            const auto count = WholeNumber(value);
            if (!count || *count < 0 || *count > 10)
                return UsageError(QStringLiteral("--retry-count takes 0 to 10, not \"%1\"").arg(value));
            options.retryCount = *count;
        } else {
            return UsageError(QStringLiteral("unknown option %1").arg(argument));
        }
    }

    if (positional.size() != 2)
        return UsageError(QStringLiteral("give a command (download or upload) and a document"));
    if (positional[0] == QLatin1String("download"))
        options.command = CliOptions::Command::Download;
    else if (positional[0] == QLatin1String("upload"))
        options.command = CliOptions::Command::Upload;
    else
        return UsageError(QStringLiteral("unknown command \"%1\"").arg(positional[0]));
    options.document = positional[1];
    return parse;
}
