#include "cli/TableCommands.h"

#include "cli/CliDocument.h"
#include "cli/CliSession.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"

#include "transfer/DownloadChanges.h"
#include "transfer/QelmIBusLink.h"
#include "commands/CommandReport.h"
#include "commands/RegisterCommand.h"
#include "transfer/Upload.h"

#include <cstdio>

namespace {

void PrintLine(std::FILE* to, const QString& text)
{
    std::fprintf(to, "%s\n", ConsoleText::Bytes(text).constData());
    std::fflush(to);
}

RegisterCommandKind KindOf(CliOptions::Command command)
{
    switch (command) {
    case CliOptions::Command::Upload:
        return RegisterCommandKind::Upload;
    case CliOptions::Command::Compare:
        return RegisterCommandKind::Compare;
    default:
        return RegisterCommandKind::Download;
    }
}

// The console answers the runner: notices on standard error, and an empty
// department table goes only where --tables named it.
class ConsoleFrontEnd final : public IRegisterCommandFrontEnd
{
public:
    explicit ConsoleFrontEnd(const CliOptions& options) : m_options(options) {}

    void Notice(const QString& text) override { PrintLine(stderr, text); }
    void Warning(const QString& text) override { ExitStatus::PrintError(QStringLiteral("warning: ") + text); }
    bool SendEmptyDepartments() override
    {
        return m_options.tablesGiven && (m_options.tables & TableBit(TransferTable::Department)) != 0;
    }
    void ChangeTables(const std::function<void()>& change) override { change(); }

private:
    const CliOptions& m_options;
};

// Compare and verify: each differing field on standard output, the counts
// on standard error.
void PrintDifferences(const RegisterCommandResult& result)
{
    for (const FieldDifference& difference : result.differences)
        PrintLine(stdout, DifferenceLine(difference));
    PrintLine(stderr, DifferenceCounts(result.differences, result.comparedTables));
}

int ExitStatusOf(const RegisterCommandRequest& request, const RegisterCommandResult& result)
{
    const int status = ExitStatus::Report(result.result, result.causeText);
    if (request.kind == RegisterCommandKind::Compare && result.Succeeded() && !result.differences.empty())
        return TableCommands::kDiffer;
    return status;
}

RegisterCommandRequest RequestFrom(const CliSession& session, const CliOptions& options)
{
    RegisterCommandRequest request;
    request.kind = KindOf(options.command);
    request.transfer = RequestOf(session, options);
    request.changesOnly = options.changesOnly;
    request.verify = options.verify;
    return request;
}

} // namespace

int RunTableTransfer(const CliOptions& options)
{
    const QString documentPath = FileArguments::AbsolutePath(options.file);
    CliSession session(options);
    CliDocument shop;
    if (const QString problem = shop.Prepare(KindOf(options.command), options, documentPath, session.SettingsPath());
        !problem.isEmpty()) {
        ExitStatus::PrintError(problem);
        return ExitStatus::kFailed;
    }

    const RegisterCommandRequest request = RequestFrom(session, options);
    if (request.changesOnly)
        PrintLine(stderr, KeyboardChangesNotice());
    QelmIBusLink link(session.Link());
    ConsoleFrontEnd frontEnd(options);
    const RegisterCommandResult result =
        RegisterCommand(link, session.Progress(), frontEnd)
            .Run(request, TransferTables{shop.plu, shop.departments, session.SettingsPath()});

    if (const QString& said = result.Succeeded() ? result.doneText : result.changesSummary; !said.isEmpty())
        PrintLine(stderr, said);
    if (result.compared)
        PrintDifferences(result);
    const bool uploadsDocument =
        request.kind == RegisterCommandKind::Upload && UploadTouchesDocument(request.transfer.selection);
    if (uploadsDocument && result.Succeeded())
        shop.document.SaveDocumentAs(documentPath);
    const int status = ExitStatusOf(request, result);
    // A document file half uploaded would keep nothing to go back to.
    if (uploadsDocument && !UploadStopText(request.transfer, result.result).isEmpty())
        ExitStatus::PrintError(QStringLiteral("%1; %2 is left as it was")
                                   .arg(UploadStopText(request.transfer, result.result), documentPath));
    else if (request.kind != RegisterCommandKind::Upload && !result.leftText.isEmpty())
        ExitStatus::PrintError(result.leftText);
    return status;
}
