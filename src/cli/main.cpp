// plu-cli: the register transfers and service functions without windows,
// driving the same code as the main window.

#include "cli/CliOptions.h"
#include "cli/CompareCommands.h"
#include "cli/DoctorCommand.h"
#include "cli/ExchangeCommands.h"
#include "cli/ExitStatus.h"
#include "cli/RawFileArguments.h"
#include "cli/ServiceCommands.h"
#include "cli/TableCommands.h"

#include "files/FileError.h"
#include "config/SettingsFile.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <exception>

namespace {

int Run(const CliOptions& options)
{
    using Command = CliOptions::Command;
    switch (options.command) {
    case Command::Download:
    case Command::Upload:
    case Command::Compare:
        return RunTableTransfer(options);
    case Command::Test:
        return RunConnectionTest(options);
    case Command::Dump:
        return RunMemoryDump(options);
    case Command::Program:
        return RunProgramDownload(options);
    case Command::Font:
        return RunFontDownload(options);
    case Command::History:
        return RunHistory(options);
    case Command::Doctor:
        return RunDoctor(options);
    }
    return ExitStatus::kUsage;
}

// The command line as given (program name first); the exit status.
int RunCommandLine(const QStringList& arguments)
{
    if (IsExchangeCommand(arguments))
        return RunExchangeCommand(arguments);
    const CliParse parse = ParseCliOptions(arguments);
    switch (parse.outcome) {
    case CliParse::Outcome::Help:
        std::fputs((CliUsage() + ExchangeUsage()).toLocal8Bit().constData(), stdout);
        return ExitStatus::kDone;
    case CliParse::Outcome::UsageError:
        ExitStatus::PrintError(parse.error);
        std::fputs("Try plu-cli --help.\n", stderr);
        return ExitStatus::kUsage;
    case CliParse::Outcome::Run:
        break;
    }
    try {
        return Run(parse.options);
    } catch (const FileError& error) {
        ExitStatus::PrintError(error.Message());
    } catch (const SettingsWriteError& error) {
        ExitStatus::PrintError(error.Message());
    } catch (const std::exception& error) {
        ExitStatus::PrintError(QString::fromLocal8Bit(error.what()));
    }
    return ExitStatus::kFailed;
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit makes a write fail with its reason, as a full disk
    // does, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    RawFileArguments files(argc, argv);
    if (!files.Problem().isEmpty()) {
        ExitStatus::PrintError(files.Problem());
        return ExitStatus::kUsage;
    }
    int status = RunCommandLine(QStringList{app.arguments().value(0)} + files.Arguments());
    for (const QString& problem : files.PutInPlace()) {
        ExitStatus::PrintError(problem);
        status = ExitStatus::kFailed;
    }
    return status;
}
