// ecr-sim: the cash register at the other end of a serial line.
#include "sim/SimContents.h"
#include "sim/SimEngine.h"
#include "sim/SimOptions.h"
#include "sim/SimPort.h"
#include "sim/SimSales.h"
#include "sim/SimServer.h"

#include "config/BuildInfo.h"
#include "files/FileError.h"
#include "files/FileIo.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/signalfd.h>

namespace {

void PrintError(const QString& text)
{
    std::fprintf(stderr, "ecr-sim: %s\n", qPrintable(text));
}

bool PrepareContents(const TSimOptions& options, TSimContents& contents)
{
    QString error;
    if (!options.statePath.isEmpty() && QFileInfo::exists(options.statePath)
        && !contents.LoadFile(options.statePath, &error)) {
        PrintError(error);
        return false;
    }
    if (options.fillDemo) {
        if (options.priceDecimals)
            contents.SetPriceDecimals(quint8(*options.priceDecimals));
        contents.FillDemo();
    }
    if (options.priceDecimals)
        contents.SetPriceDecimals(quint8(*options.priceDecimals));
    if (options.clearReports)
        SimSales::ClearReports(contents);
    if (options.sales > 0 && SimSales::Sell(contents, options.sales, options.seed) == 0)
        PrintError(QStringLiteral("--sell: no named article with a barcode to sell"));
    if (options.reportsNotCleared)
        contents.SetReportState(1);
    return true;
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    try {
        WriteFileAtomically(path, bytes);
    } catch (const FileError& error) {
        PrintError(error.Message());
        return false;
    }
    return true;
}

bool SaveOnExit(const TSimOptions& options, const TSimContents& contents)
{
    bool ok = true;
    QString error;
    if (!options.statePath.isEmpty() && !contents.SaveFile(options.statePath, &error)) {
        PrintError(error);
        ok = false;
    }
    if (!options.saveProgramPath.isEmpty())
        ok = WriteBytes(options.saveProgramPath, contents.ProgramBytes()) && ok;
    if (!options.saveFontPath.isEmpty())
        ok = WriteBytes(options.saveFontPath, contents.FontBytes()) && ok;
    return ok;
}

int Serve(const TSimOptions& options, const sigset_t& stopSignals)
{
    TSimContents contents;
    if (!PrepareContents(options, contents))
        return 1;

    QFile logFile;
    if (!options.logPath.isEmpty()) {
        logFile.setFileName(options.logPath);
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            PrintError(QStringLiteral("%1: %2").arg(options.logPath, logFile.errorString()));
            return 1;
        }
    }

    const TSimFd stopFd(::signalfd(-1, &stopSignals, SFD_CLOEXEC));
    if (!stopFd.Valid()) {
        PrintError(QStringLiteral("cannot watch for signals"));
        return 1;
    }

    QString error;
    const std::unique_ptr<TSimPort> port =
        options.linkPath.isEmpty() ? TSimPort::OpenDevice(options.devicePath, options.engine.idleRate, &error)
                                   : TSimPort::CreatePty(options.linkPath, &error);
    if (!port) {
        PrintError(error);
        return 1;
    }
    std::printf("%s\n", qPrintable(port->Path()));
    std::fflush(stdout);

    TSimEngine engine(contents, options.engine);
    auto log = [&](const QString& line) {
        if (logFile.isOpen()) {
            logFile.write(line.toUtf8() + '\n');
            logFile.flush();
        }
        if (options.verbose)
            std::fprintf(stderr, "%s\n", qPrintable(line));
    };
    TSimServer server(*port, engine, TSimServer::Options{options.wireTime}, log);
    const bool served = server.Run(stopFd.Get(), &error);
    if (!served)
        PrintError(error);
    const bool saved = SaveOnExit(options, contents);
    return served && saved ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Blocked before anything else, so the signals wait in the signalfd.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ecr-sim"));

    TSimOptions options;
    QString error;
    if (!ParseSimOptions(QCoreApplication::arguments(), &options, &error)) {
        PrintError(error);
        return 2;
    }
    if (options.showHelp) {
        std::printf("%s", qPrintable(options.helpText));
        return 0;
    }
    if (options.showVersion) {
        std::printf("%s", qPrintable(BuildInfo::VersionLine(QCoreApplication::applicationName())));
        return 0;
    }
    return Serve(options, stopSignals);
}
