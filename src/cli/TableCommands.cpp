#include "cli/TableCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"

#include "files/Document.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "transfer/Download.h"
#include "transfer/QelmIBusLink.h"
#include "transfer/Upload.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void PrintNotes(const ReadNotes& notes)
{
    for (const QString& note : notes)
        ExitStatus::PrintError(QStringLiteral("warning: ") + note);
}

// What a download needs before the port is touched: the document, and every
// file a chosen table comes from. A missing one would be sent as an empty
// table and erase the register's.
QString DownloadSourceProblem(const CliOptions& options, const QString& documentPath,
                              const QString& settingsPath)
{
    if (!QFileInfo(documentPath).isFile())
        return QStringLiteral("%1: no such document").arg(options.file);
    const unsigned chosen = options.tables;
    if ((chosen & TableBit(TransferTable::Department)) != 0) {
        const QString departments = Document::DepPath(documentPath);
        if (!QFileInfo(departments).isFile())
            return QStringLiteral("%1: no such file (the department table was chosen)").arg(Shown(departments));
    }
    if ((chosen & TableBit(TransferTable::Parameter)) != 0 && !QFileInfo(settingsPath).isFile())
        return QStringLiteral("%1: no such settings file (the parameter set was chosen)").arg(Shown(settingsPath));
    return {};
}

// The three files an upload may write: their folder must take them.
QString UploadTargetProblem(const QString& documentPath)
{
    for (const QString& path : {documentPath, Document::DepPath(documentPath), Document::RcyPath(documentPath)}) {
        if (const QString problem = FileArguments::FileToWriteProblem(path); !problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace

int RunTableTransfer(const CliOptions& options)
{
    const QString documentPath = QFileInfo(options.file).absoluteFilePath();
    const bool download = options.command == CliOptions::Command::Download;
    const bool touchesDocument = download || UploadTouchesDocument(options.tables);
    if (!download && touchesDocument) {
        if (const QString problem = UploadTargetProblem(documentPath); !problem.isEmpty()) {
            ExitStatus::PrintError(problem);
            return ExitStatus::kFailed;
        }
    }

    CliSession session(options);
    if (download) {
        if (const QString problem = DownloadSourceProblem(options, documentPath, session.SettingsPath());
            !problem.isEmpty()) {
            ExitStatus::PrintError(problem);
            return ExitStatus::kFailed;
        }
    }

    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    // An upload onto an existing document replaces only the tables and rows
    // it reads; the rest, the recycling table included, stays as it was.
    const bool load = touchesDocument && QFileInfo(documentPath).isFile() && (download || !options.newDocument);
    if (load)
        PrintNotes(document.LoadDocument(documentPath));
    // The uploaded rows hold what the register sends and nothing older.
    if (load && !download && (options.tables & TableBit(TransferTable::PLU)) != 0)
        plu.ResetRows(options.range.begin, options.range.end);

    TransferRequest request;
    request.port = session.PortName();
    request.baudIndex = session.BaudIndex();
    request.selection = options.tables;
    request.range = options.range;

    QelmIBusLink link(session.Link());
    const TransferTables tables{plu, departments, session.SettingsPath()};
    const TransferResult result = download ? DownloadTables(link, session.Progress(), request, tables)
                                           : UploadTables(link, session.Progress(), request, tables);
    if (!result.Succeeded())
        return ExitStatus::Report(result);
    if (!download && touchesDocument)
        document.SaveDocumentAs(documentPath);
    return ExitStatus::kDone;
}
