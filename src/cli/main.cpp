// plu-cli: the register transfers and service functions without windows,
// driving the same code as the main window.

#include "cli/CliOptions.h"
#include "cli/DoctorCommand.h"
#include "cli/ExchangeCommands.h"
#include "cli/ExitStatus.h"
#include "cli/HistoryCommands.h"
#include "cli/LabelCommand.h"
#include "cli/ReportCommand.h"
#include "cli/ServiceCommands.h"
#include "cli/SeveralRegistersCommand.h"
#include "cli/TableCommands.h"

#include "files/FileError.h"
#include "files/FilePath.h"
#include "config/BuildInfo.h"
#include "config/SettingsFile.h"
#include "labels/OffscreenApplication.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>

namespace {

int Run(const CliOptions& options)
{
    using Command = CliOptions::Command;
    switch (options.command) {
    case Command::Download:
    case Command::Upload:
    case Command::Compare:
        return NamesSeveralRegisters(options) ? RunOnSeveralRegisters(options) : RunTableTransfer(options);
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
    if (IsLabelsCommand(arguments))
        return RunLabelsCommand(arguments);
    if (IsReportCommand(arguments))
        return RunReportCommand(arguments);
    const CliParse parse = ParseCliOptions(arguments);
    switch (parse.outcome) {
    case CliParse::Outcome::Help:
        std::fputs((CliUsage() + ExchangeUsage() + LabelsUsage() + ReportUsage()).toLocal8Bit().constData(), stdout);
        return ExitStatus::kDone;
    case CliParse::Outcome::Version:
        std::fputs(BuildInfo::VersionLine(QStringLiteral("plu-cli")).toLocal8Bit().constData(), stdout);
        return ExitStatus::kDone;
    case CliParse::Outcome::UsageError:
        return ExitStatus::UsageError(parse.error);
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

bool IsUtf8(const QByteArray& bytes)
{
    return FilePath::FromBytes(bytes).Text() == QString::fromUtf8(bytes);
}

// The arguments after the program name. A file's name is taken as its bytes
// (FilePath), valid UTF-8 or not; option names and the port must be text.
QStringList Arguments(int argc, char** argv, QString& problem)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (!IsUtf8(argument)) {
            const qsizetype equals = argument.indexOf('=');
            const bool option = argument.startsWith("--");
            const bool portName = (option && argument.left(equals) == "--port")
                                  || (i > 1 && QByteArray(argv[i - 1]) == "--port");
            if (portName || (option && (equals < 0 || !IsUtf8(argument.left(equals))))) {
                problem = QStringLiteral("\"%1\" is not valid in the system's character set (UTF-8)")
                              .arg(QString::fromLatin1(argument));
                return {};
            }
        }
        arguments << FilePath::FromBytes(argument).Text();
    }
    return arguments;
}

// Only the commands that draw pages need Qt's GUI platform.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv)
{
    // Only a command that draws pages needs the painter (on no display).
    if (!IsLabelsCommand(argc, argv) && !ReportDrawsPages(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    return MakeOffscreenApplication(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit makes a write fail with its reason, as a full disk
    // does, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
    QString problem;
    const QStringList arguments = Arguments(argc, argv, problem);
    if (!problem.isEmpty()) {
        ExitStatus::PrintError(problem);
        return ExitStatus::kUsage;
    }
    return RunCommandLine(QStringList{app->arguments().value(0)} + arguments);
}
