#include "cli/ServiceCommands.h"

#include "cli/CliSession.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"

#include "commands/CommandReport.h"
#include "history/TransferHistory.h"
#include "config/StartupValues.h"
#include "transfer/MemoryDump.h"
#include "transfer/ProgramLoad.h"
#include "transfer/TestConnection.h"

#include "files/FileError.h"
#include "files/FileIo.h"

#include <QDir>

#include <cstdio>
#include <unistd.h>

namespace {

// The memory range dialog, answered by the command line.
class ChosenRange final : public IMemoryRangeDialog
{
public:
    explicit ChosenRange(const MemoryRangeChoice& choice) : choice_(choice) {}
    std::optional<MemoryRangeChoice> Run(const QString&) override { return choice_; }

private:
    MemoryRangeChoice choice_;
};

// The open dialog, answered by the command line.
class ChosenFile final : public IOpenFileChooser
{
public:
    explicit ChosenFile(const QString& path) : path_(FileArguments::AbsolutePath(path)) {}
    QString ChooseOpenFile(const OpenFileFilter&) override { return path_; }

private:
    QString path_;
};

ServiceContext ContextOf(CliSession& session)
{
    return {session.Link(), session.Progress(), session.Messages(),
            ServicePort{session.PortName(), session.BaudIndex()}};
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A file to send must exist before the port is touched.
bool FileToSendExists(const QString& path)
{
    const QString problem = FileArguments::FileToReadProblem(path);
    if (problem.isEmpty())
        return true;
    ExitStatus::PrintError(problem);
    return false;
}

// Moves the listing to out: the new content replaces an existing file at once
// or not at all, and the work file in the program folder goes. The error text
// when that fails (the work file then stays).
QString MoveListing(const QString& listing, const QString& out)
{
    const FilePath source(listing);
    const auto sourceState = source.State();
    const auto targetState = FilePath(out).State();
    if (sourceState && targetState && sourceState->st_dev == targetState->st_dev
        && sourceState->st_ino == targetState->st_ino)
        return {};
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadFileBytes(source);
    } catch (const FileError&) {
    }
    if (!bytes)
        return QStringLiteral("Unable to read ") + Shown(listing);
    try {
        WriteFileAtomically(out, *bytes);
    } catch (const FileError& error) {
        return QStringLiteral("Unable to write to ") + Shown(out) + QStringLiteral(": ") + error.Reason();
    }
    ::unlink(source.Native());
    return {};
}

// Records the service function in the transfer history and tells how it ended.
int Recorded(CliSession& session, const QString& command, const ServiceResult& result)
{
    TransferHistory history;
    history.RecordService(command, session.PortName(), session.BaudIndex(), result);
    if (const QString warning = history.TakeWarning(); !warning.isEmpty())
        ExitStatus::PrintError(QStringLiteral("warning: ") + warning);
    const ServicePort port{session.PortName(), session.BaudIndex()};
    if (result.Succeeded())
        std::fprintf(stderr, "%s\n", ConsoleText::Bytes(ServiceDoneText(command, port, session.ElapsedMs())).constData());
    return ExitStatus::Report(result, CommandCauseText(result.cause, port.name));
}

} // namespace

int RunConnectionTest(const CliOptions& options)
{
    CliSession session(options);
    return Recorded(session, QStringLiteral("test"), TestConnection(ContextOf(session)));
}

int RunMemoryDump(const CliOptions& options)
{
    const QString out = FileArguments::AbsolutePath(options.file);
    if (const QString problem = FileArguments::FileToWriteProblem(out); !problem.isEmpty()) {
        ExitStatus::PrintError(problem);
        return ExitStatus::kFailed;
    }
    CliSession session(options);
    ChosenRange range(options.memory);
    QString listing;
    const ServiceResult result =
        DumpMemory(ContextOf(session), range, [&listing](const QString& path) { listing = path; });
    if (const int status = Recorded(session, QStringLiteral("dump"), result); status != ExitStatus::kDone)
        return status;
    if (const QString error = MoveListing(listing, out); !error.isEmpty()) {
        ExitStatus::PrintError(error);
        return ExitStatus::kFailed;
    }
    std::printf("%s\n", ConsoleText::Bytes(Shown(out)).constData());
    return ExitStatus::kDone;
}

int RunProgramDownload(const CliOptions& options)
{
    if (!FileToSendExists(options.file))
        return ExitStatus::kFailed;
    CliSession session(options);
    const qint32 firstBlock =
        options.firstBlock.value_or(StartupValues::ReadFrom(session.SettingsPath()).updateBlock);
    ChosenFile image(options.file);
    return Recorded(session, QStringLiteral("program"), DownloadProgram(ContextOf(session), image, firstBlock));
}

int RunFontDownload(const CliOptions& options)
{
    if (!FileToSendExists(options.file))
        return ExitStatus::kFailed;
    CliSession session(options);
    ChosenFile font(options.file);
    return Recorded(session, QStringLiteral("font"), DownloadFont(ContextOf(session), font));
}
