#pragma once

#include "transfer/TransferRequest.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command line of plu-cli:
//   plu-cli download|upload DOC.PLU [--tables LIST] [--range FROM-TO]
//           [--port COMn|PATH] [--baud 0-4] [--settings FILE]
struct CliOptions
{
    enum class Command { Download, Upload };

    Command command = Command::Download;
    QString document;
    unsigned tables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
    PluRange range;
    std::optional<QString> port;       // from the settings file when not given
    std::optional<int> baudIndex;      // from the settings file when not given
    std::optional<QString> settings;   // SYSTEM.CFG beside plu-cli when not given
    int retryInterval = 1000;          // ms the link waits for each answer
    int retryCount = 10;               // repeats before a package fails
};

struct CliParse
{
    enum class Outcome { Run, Help, UsageError };
    Outcome outcome = Outcome::Run;
    CliOptions options;
    QString error;
};

// arguments as from QCoreApplication::arguments() (program name first).
CliParse ParseCliOptions(const QStringList& arguments);

QString CliUsage();
