#include "app/Main.h"

#include "app/FileDialogs.h"
#include "editing/DocumentHistory.h"
#include "widgets/TableGrid.h"
#include "app/WaitCursor.h"
#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "app/ConnectionCheckDlg.h"
#include "dialogs/CommDlg.h"
#include "dialogs/DetectPortDlg.h"
#include "dialogs/ParaDlg.h"
#include "config/AppPaths.h"
#include "transfer/DetectScan.h"
#include "config/StartupValues.h"
#include "history/TransferHistory.h"
#include "dialogs/DataDlg.h"
#include "dialogs/ProgressForm.h"
#include "transfer/ProgramLoad.h"
#include "transfer/TestConnection.h"
#include "transfer/Upload.h"
#include "commands/CommandReport.h"
#include "commands/RegisterCommand.h"
#include "dialogs/uprange.h"
#include "widgets/TableGridRules.h"
#include "model/Language.h"
#include "transfer/DownloadCheck.h"

#include <QElapsedTimer>
#include <QStatusBar>

#include <utility>

void TMainForm::ParameterItemClick()
{
    if (m_paraDlg != nullptr)
        m_paraDlg->EditParameters();
}

void TMainForm::CommsetItemClick()
{
    if (m_commDlg == nullptr)
        return;
    m_commDlg->Run();
    // After Cancel these are the values the dialog read from the settings file.
    m_portNumber = m_commDlg->Port();
    m_speedIndex = m_commDlg->BaudRate();
    UpdatePortStatus();
}

void TMainForm::DetectportItemClick()
{
    if (m_detectPortDlg != nullptr)
        m_detectPortDlg->Run();
}

void TMainForm::ConnectionCheckItemClick()
{
    if (m_connectionCheckDlg != nullptr)
        m_connectionCheckDlg->Run(QStringLiteral("COM") + QString::number(m_portNumber));
}

void TMainForm::ScanForRegister(TDetectPortDlg& dialog)
{
    DetectScanOptions options;
    options.currentPort = m_portNumber;
    if (const std::optional<int> port = DetectPort(*m_detectLink, *m_messages, dialog, options))
        m_portNumber = *port;
    UpdatePortStatus();
}

void TMainForm::TestItemClick()
{
    RunService(QStringLiteral("test"), [](const ServiceContext& context) { return TestConnection(context); });
}

namespace {

constexpr unsigned PluBit = 1u << 0;
constexpr unsigned DeptmentBit = 1u << 1;

} // namespace

void TMainForm::DownloadItemClick()
{
    if (m_downloadDlg == nullptr || !m_downloadDlg->Run())
        return;
    const unsigned selection = m_downloadDlg->DownloadSelection();
    // No chosen table's grid may hold a refused cell; the status bar names it.
    const std::pair<unsigned, TableGrid*> chosen[] = {{PluBit, m_pluGrid}, {DeptmentBit, m_deptGrid}};
    for (const auto& [bit, grid] : chosen) {
        if ((selection & bit) == 0 || grid->CommitCurrentCell())
            continue;
        const QModelIndex cell = grid->currentIndex();
        const QString table = grid == m_pluGrid ? Tr("MainForm", "PLULBL.Caption", "PLU")
                                                : Tr("MainForm", "DeptLBL.Caption", "Department");
        const QString reason = grid->Rules()->RefusalReason(cell.row(), cell.column());
        statusBar()->showMessage(
            Tr("MainForm", "RefusedCellPlace", "%1, row %2, %3").arg(table, QString::number(cell.row() + 1), reason));
        m_messages->Information(DownloadCheck::InvalidDataText());
        return;
    }
    RunDownload(m_downloadDlg->Choice(), m_downloadDlg->VerifyAfterDownload());
}

void TMainForm::UploadItemClick()
{
    if (m_uploadDlg == nullptr || !m_uploadDlg->Run())
        return;
    // Typing in progress becomes a step of its own, not part of the upload's.
    if (UploadTouchesDocument(m_uploadDlg->Choice().selection) && !CommitActiveGrid()) {
        m_messages->Information(DownloadCheck::InvalidDataText());
        return;
    }
    // The upload replaces only the tables and PLU rows it reads, as one step
    // that Undo takes back; the document keeps the rest and its name.
    const RegisterCommandRequest request = CommandRequest(RegisterCommandKind::Upload, m_uploadDlg->Choice());
    ShowCommandOutcome(request, RunRegisterCommand(request));
}

void TMainForm::EditAndDownloadParameters()
{
    if (m_paraDlg == nullptr || !m_paraDlg->EditParameters())
        return;
    TransferChoice parametersOnly;
    parametersOnly.selection = 1u << 2;
    RunDownload(parametersOnly, false);
}

void TMainForm::RunDownload(const TransferChoice& choice, bool verify)
{
    RegisterCommandRequest request = CommandRequest(RegisterCommandKind::Download, choice);
    request.changesOnly = m_downloadChangesOnly;
    request.verify = verify;
    const std::vector<int> labelRows = LabelRowsChangedBy(request.transfer);
    const RegisterCommandResult result = RunRegisterCommand(request);
    ShowCommandOutcome(request, result);
    OfferChangedLabels(labelRows, result.result);
    if (result.compared)
        ShowVerifyResult(result);
}

RegisterCommandRequest TMainForm::CommandRequest(RegisterCommandKind kind, const TransferChoice& choice) const
{
    RegisterCommandRequest request;
    request.kind = kind;
    request.transfer = RequestFor(choice, m_portNumber, m_speedIndex);
    return request;
}

void TMainForm::ShowTransferOutcome(const TransferResult& result)
{
    if (result.outcome == TransferResult::Outcome::Refused) {
        // Nothing was sent: the notice, and where the refused data is.
        if (!result.detail.isEmpty())
            statusBar()->showMessage(result.detail);
        if (!result.message.isEmpty())
            Messages().Information(result.message);
        return;
    }
    if (!result.detail.isEmpty())
        Messages().Error(result.detail);
}

void TMainForm::DumpMemory()
{
    if (m_dataDlg == nullptr)
        return;
    RunService(QStringLiteral("dump"), [this](const ServiceContext& context) {
        return ::DumpMemory(context, *m_dataDlg, m_listingViewer);
    });
}

void TMainForm::DownloadProgram()
{
    RunService(QStringLiteral("program"), [this](const ServiceContext& context) {
        return ::DownloadProgram(context, *m_dialogs, Startup().updateBlock);
    });
}

void TMainForm::DownloadFontItemClick()
{
    RunService(QStringLiteral("font"),
               [this](const ServiceContext& context) { return DownloadFont(context, *m_dialogs); });
}

void TMainForm::RunService(const QString& command,
                           const std::function<ServiceResult(const ServiceContext&)>& service)
{
    if (m_progressForm == nullptr)
        return;
    const ServiceContext context{Link(), *m_progressForm, *m_messages,
                                 ServicePort::FromNumber(m_portNumber, m_speedIndex)};
    ServiceResult result;
    QElapsedTimer clock;
    clock.start();
    RunExclusive([&] {
        result = service(context);
        TransferHistory history;
        history.RecordService(command, context.port.name, context.port.baudIndex, result);
        ShowHistoryWarning(history);
    });
    if (!result.detail.isEmpty())
        Messages().Error(result.detail);
    if (result.Succeeded())
        ShowStatusNotice(ServiceDoneText(command, context.port, clock.elapsed()));
    if (result.outcome == ServiceResult::Outcome::PortNotOpened)
        ShowPortRemedy(CommandCauseText(result.cause, context.port.name), result.cause);
}
