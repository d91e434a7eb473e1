#pragma once

#include "sim/SimEngine.h"

#include <QString>
#include <QStringList>

#include <optional>

// The simulator's command line.
struct TSimOptions {
    QString linkPath;             // --link: serve a pseudo-terminal linked here
    QString devicePath;           // --device: serve a real serial device
    QString statePath;            // --state
    QString logPath;              // --log
    QString saveProgramPath;      // --save-program
    QString saveFontPath;         // --save-font
    bool fillDemo = false;
    std::optional<int> priceDecimals;
    bool reportsNotCleared = false;
    bool clearReports = false;   // --clear-reports
    int sales = 0;               // --sell
    quint32 seed = 1;            // --seed
    bool wireTime = false;
    bool verbose = false;
    TSimEngine::Options engine;
    bool showHelp = false;
    bool showVersion = false;
    QString helpText;
};

// Parses arguments (the first is the program name). False with a message
// when they make no sense.
bool ParseSimOptions(const QStringList& arguments, TSimOptions* options, QString* error);
