// plu-cli: Download data and Upload data without windows, driving the same
// transfer code as the main window.

#include "cli/CliOptions.h"
#include "cli/ConsoleMessageBox.h"
#include "cli/ConsoleProgress.h"
#include "cli/InterruptNotifier.h"
#include "cli/PortSettings.h"

#include "files/Document.h"
#include "files/FileError.h"
#include "link/QelmIBus.h"
#include "link/RegisterLink.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "serial/Comm.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"
#include "transfer/Download.h"
#include "transfer/QelmIBusLink.h"
#include "transfer/Upload.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void PrintError(const QString& text)
{
    std::fprintf(stderr, "plu-cli: %s\n", text.toLocal8Bit().constData());
}

int Report(const TransferResult& result)
{
    switch (result.outcome) {
    case TransferResult::Outcome::Done:
        return kExitDone;
    case TransferResult::Outcome::PortNotOpened:
        break;   // the link has printed "Error opening ..."
    case TransferResult::Outcome::Cancelled:
        PrintError(QStringLiteral("Cancelled"));
        break;
    case TransferResult::Outcome::Failed:
    case TransferResult::Outcome::Refused:
        PrintError(result.message);
        break;
    }
    if (!result.detail.isEmpty())
        PrintError(result.detail);
    return kExitFailed;
}

int Run(const CliOptions& options)
{
    const QString settingsPath = UseSettingsFile(options.settings);
    const PortSettings port = ReadPortSettings(settingsPath);

    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    const QString documentPath = QFileInfo(options.document).absoluteFilePath();
    const bool download = options.command == CliOptions::Command::Download;
    if (download) {
        if (!QFileInfo::exists(documentPath)) {
            PrintError(QStringLiteral("%1: no such document").arg(options.document));
            return kExitFailed;
        }
        document.LoadDocument(documentPath);
    } else {
        document.ClearDocument();
    }

    ConsoleMessageBox messages(stderr);
    TQelmIBusComm comm(MakeLinkDevice());
    comm.SetMessageBox(&messages);
    comm.SetTraceEnabled(true);
    comm.SetRetryInterval(options.retryInterval);
    comm.SetRetryCount(options.retryCount);
    QelmIBusLink link(comm);

    ConsoleProgress progress(stderr, ::isatty(STDERR_FILENO) == 1);
    InterruptNotifier interrupt([&progress] { progress.Cancel(); });

    TransferRequest request;
    request.port = options.port.value_or(PortNameFor(port.number));
    request.baudIndex = options.baudIndex.value_or(port.baudIndex);
    request.selection = options.tables;
    request.range = options.range;

    const TransferTables tables{plu, departments, settingsPath};
    const TransferResult result = download ? DownloadTables(link, progress, request, tables)
                                           : UploadTables(link, progress, request, tables);
    if (!result.Succeeded())
        return Report(result);
    if (!download)
        document.SaveDocumentAs(documentPath);
    return kExitDone;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const CliParse parse = ParseCliOptions(app.arguments());
    switch (parse.outcome) {
    case CliParse::Outcome::Help:
        std::fputs(CliUsage().toLocal8Bit().constData(), stdout);
        return kExitDone;
    case CliParse::Outcome::UsageError:
        PrintError(parse.error);
        std::fputs("Try plu-cli --help.\n", stderr);
        return kExitUsage;
    case CliParse::Outcome::Run:
        break;
    }
    try {
        return Run(parse.options);
    } catch (const FileError& error) {
        PrintError(error.Message());
    } catch (const SettingsWriteError& error) {
        PrintError(error.Message());
    } catch (const std::exception& error) {
        PrintError(QString::fromLocal8Bit(error.what()));
    }
    return kExitFailed;
}
