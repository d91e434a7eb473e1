#include "sim/SimOptions.h"

#include <QCommandLineParser>

namespace {

bool ReadCount(const QCommandLineParser& parser, const QString& name, int* out, QString* error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0) {
        *error = QStringLiteral("--%1 expects a count of 0 or more, not \"%2\"").arg(name, parser.value(name));
        return false;
    }
    *out = value;
    return true;
}

} // namespace

bool ParseSimOptions(const QStringList& arguments, TSimOptions* options, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the cash register at the other end of a serial line: log-in, status, PLU, department,\n"
        "parameter, memory, program and font transfers, with optional line faults."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("link"), QStringLiteral("Create a pseudo-terminal and point the symbolic link <path> at it."), QStringLiteral("path")},
        {QStringLiteral("device"), QStringLiteral("Serve the serial device <path> instead."), QStringLiteral("path")},
        {QStringLiteral("rate"), QStringLiteral("Idle line rate: 9600 (default), 19200, 38400, 57600 or 115200."), QStringLiteral("baud")},
        {QStringLiteral("state"), QStringLiteral("Load the register's contents from <file> when it exists, save them there on exit."), QStringLiteral("file")},
        {QStringLiteral("fill-demo"), QStringLiteral("Fill the register with a small demo shop.")},
        {QStringLiteral("price-decimals"), QStringLiteral("Price decimals reported in the status (0..9, default 2)."), QStringLiteral("n")},
        {QStringLiteral("reports-not-cleared"), QStringLiteral("Report that the sales reports are not cleared.")},
        {QStringLiteral("clear-reports"), QStringLiteral("Zero the sales figures as a report clear does (before --sell).")},
        {QStringLiteral("sell"), QStringLiteral("Make <n> random sales of named articles at their prices before serving."), QStringLiteral("n")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the random sales (default 1): the same seed sells the same."), QStringLiteral("n")},
        {QStringLiteral("access-code"), QStringLiteral("Accept only log-ins carrying <code>."), QStringLiteral("code")},
        {QStringLiteral("drop"), QStringLiteral("Ignore the first <n> frames."), QStringLiteral("n")},
        {QStringLiteral("nak"), QStringLiteral("Then answer the next <n> frames with 0x55."), QStringLiteral("n")},
        {QStringLiteral("corrupt"), QStringLiteral("Send the first <n> reply frames with a bad checksum."), QStringLiteral("n")},
        {QStringLiteral("fail-after"), QStringLiteral("Stop answering after <n> frames."), QStringLiteral("n")},
        {QStringLiteral("noise"), QStringLiteral("Send stray bytes below 0x80 before each answer.")},
        {QStringLiteral("split"), QStringLiteral("Send reply frames in small chunks with short pauses.")},
        {QStringLiteral("wire-time"), QStringLiteral("Take as long as a real line to receive and to send.")},
        {QStringLiteral("reject-program"), QStringLiteral("Refuse the end of a program load with 0x55.")},
        {QStringLiteral("lose-plu"), QStringLiteral("Acknowledge downloads of PLU <n> but keep the old record."), QStringLiteral("n")},
        {QStringLiteral("log"), QStringLiteral("Write one line per received frame to <file>."), QStringLiteral("file")},
        {QStringLiteral("save-program"), QStringLiteral("On exit, write the received program blocks to <file>."), QStringLiteral("file")},
        {QStringLiteral("save-font"), QStringLiteral("On exit, write the received font packages to <file>."), QStringLiteral("file")},
        {QStringLiteral("verbose"), QStringLiteral("Also print the frame log on standard error.")},
    });
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        options->showHelp = true;
        options->helpText = parser.helpText();
        return true;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        options->showVersion = true;
        return true;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return false;
    }
    options->linkPath = parser.value(QStringLiteral("link"));
    options->devicePath = parser.value(QStringLiteral("device"));
    if (options->linkPath.isEmpty() == options->devicePath.isEmpty()) {
        *error = QStringLiteral("give exactly one of --link PATH and --device PATH");
        return false;
    }
    if (parser.isSet(QStringLiteral("rate"))) {
        const int rate = parser.value(QStringLiteral("rate")).toInt();
        if (!TSimEngine::IsRegisterRate(rate)) {
            *error = QStringLiteral("--rate must be 9600, 19200, 38400, 57600 or 115200");
            return false;
        }
        options->engine.idleRate = rate;
    }
    if (parser.isSet(QStringLiteral("price-decimals"))) {
        bool ok = false;
        const int decimals = parser.value(QStringLiteral("price-decimals")).toInt(&ok);
        if (!ok || decimals < 0 || decimals > 9) {
            *error = QStringLiteral("--price-decimals must be 0 to 9");
            return false;
        }
        options->priceDecimals = decimals;
    }
    if (parser.isSet(QStringLiteral("access-code"))) {
        bool ok = false;
        const uint code = parser.value(QStringLiteral("access-code")).toUInt(&ok);
        if (!ok || code > 99999999) {
            *error = QStringLiteral("--access-code must be a number of up to eight digits");
            return false;
        }
        options->engine.accessCode = code;
    }
    int failAfter = -1;
    if (!ReadCount(parser, QStringLiteral("drop"), &options->engine.dropFrames, error)
        || !ReadCount(parser, QStringLiteral("nak"), &options->engine.nakFrames, error)
        || !ReadCount(parser, QStringLiteral("corrupt"), &options->engine.corruptReplies, error)
        || !ReadCount(parser, QStringLiteral("fail-after"), &failAfter, error)
        || !ReadCount(parser, QStringLiteral("sell"), &options->sales, error))
        return false;
    if (parser.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        options->seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok) {
            *error = QStringLiteral("--seed expects a whole number of 0 to 4294967295");
            return false;
        }
    }
    options->engine.failAfter = failAfter;
    if (parser.isSet(QStringLiteral("lose-plu"))) {
        bool ok = false;
        const int number = parser.value(QStringLiteral("lose-plu")).toInt(&ok);
        if (!ok || number < 1 || number > TSimContents::kPluCount) {
            *error = QStringLiteral("--lose-plu must be a PLU number 1 to 3000");
            return false;
        }
        options->engine.losePlu = number;
    }
    options->engine.noise = parser.isSet(QStringLiteral("noise"));
    options->engine.split = parser.isSet(QStringLiteral("split"));
    options->engine.rejectProgram = parser.isSet(QStringLiteral("reject-program"));
    options->statePath = parser.value(QStringLiteral("state"));
    options->logPath = parser.value(QStringLiteral("log"));
    options->saveProgramPath = parser.value(QStringLiteral("save-program"));
    options->saveFontPath = parser.value(QStringLiteral("save-font"));
    options->fillDemo = parser.isSet(QStringLiteral("fill-demo"));
    options->reportsNotCleared = parser.isSet(QStringLiteral("reports-not-cleared"));
    options->clearReports = parser.isSet(QStringLiteral("clear-reports"));
    options->wireTime = parser.isSet(QStringLiteral("wire-time"));
    options->verbose = parser.isSet(QStringLiteral("verbose"));
    return true;
}
