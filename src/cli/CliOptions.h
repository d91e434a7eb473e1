#pragma once

#include "transfer/DialogInput.h"
#include "transfer/TransferRequest.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command line of plu-cli (CliUsage() lists it in full):
//   plu-cli download|upload DOC.PLU [--tables LIST] [--range FROM-TO] [--new]
//   plu-cli test
//   plu-cli dump rom|ram|fiscal OUT  |  plu-cli dump --base HEX --count N OUT
//   plu-cli program IMAGE.hex [--first-block N]
//   plu-cli font FILE.fnt
//   plu-cli doctor
// each with [--port COMn|PATH] [--baud 0-4] [--settings FILE]
//           [--retry-interval MS] [--retry-count N]
struct CliOptions
{
    enum class Command { Download, Upload, Test, Dump, Program, Font, Doctor, Compare, History };

    Command command = Command::Download;
    // The document (download, upload), the listing to leave (dump), the image
    // (program) or the font file (font); empty for test.
    QString file;

    unsigned tables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
    // --tables was given: the tables are the operator's own choice, not the default.
    bool tablesGiven = false;
    PluRange range;
    bool newDocument = false;              // upload: start from an empty document
    MemoryRangeChoice memory;              // dump: a whole area, or a run of blocks
    std::optional<qint32> firstBlock;      // program: [Address] Update when not given

    std::optional<QString> port;       // from the settings file when not given
    // download, compare: every --port in order (port holds the last), the
    // --register names and --all-registers; more than one register in all
    // runs them side by side.
    QStringList ports;
    QStringList registerNames;
    bool allRegisters = false;
    std::optional<int> baudIndex;      // from the settings file when not given
    std::optional<QString> settings;   // SYSTEM.CFG beside plu-cli when not given
    int retryInterval = 1000;          // ms the link waits for each answer
    int retryCount = 10;               // repeats before a package fails

    // download: read the tables back and compare; send only what changed.
    bool verify = false;
    bool changesOnly = false;
    // history export: an existing document may be replaced.
    bool force = false;
    // history: "" lists, "show" or "export" one entry (export writes to file),
    // "readings" lists the sales readings.
    QString historyAction;
    qint64 historyId = 0;
};

struct CliParse
{
    enum class Outcome { Run, Help, Version, UsageError };
    Outcome outcome = Outcome::Run;
    CliOptions options;
    QString error;
};

// arguments as from QCoreApplication::arguments() (program name first).
CliParse ParseCliOptions(const QStringList& arguments);

QString CliUsage();
