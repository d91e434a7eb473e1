#include "app/Main.h"

#include "app/FileDialogs.h"
#include "editing/DocumentHistory.h"
#include "widgets/TableGrid.h"
#include "app/WaitCursor.h"
#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "app/ConnectionCheckDlg.h"
#include "settings/CommDlg.h"
#include "settings/DetectPortDlg.h"
#include "settings/ParaDlg.h"
#include "settings/AppPaths.h"
#include "settings/DetectScan.h"
#include "settings/StartupValues.h"
#include "history/TransferHistory.h"
#include "transfer/CapturingLink.h"
#include "transfer/DataDlg.h"
#include "transfer/Download.h"
#include "transfer/ProgressForm.h"
#include "transfer/ProgramLoad.h"
#include "transfer/QelmIBusLink.h"
#include "transfer/TestConnection.h"
#include "transfer/Upload.h"
#include "transfer/uprange.h"
#include "widgets/TableGridRules.h"

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
        const QString where = (grid == m_pluGrid ? QStringLiteral("PLU") : QStringLiteral("Department"))
                              + QStringLiteral(", row ") + QString::number(cell.row() + 1);
        const QString reason = grid->Rules()->RefusalReason(cell.row(), cell.column());
        statusBar()->showMessage(where + QStringLiteral(", ") + reason);
        m_messages->Information(QStringLiteral("Invalid data!"));
        return;
    }
    RunDownload(m_downloadDlg->Choice());
}

void TMainForm::UploadItemClick()
{
    if (m_uploadDlg == nullptr || !m_uploadDlg->Run())
        return;
    // The parameter set alone goes to the settings file: the document stays.
    if (!UploadTouchesDocument(m_uploadDlg->Choice().selection)) {
        RunUpload(m_uploadDlg->Choice());
        return;
    }
    // The upload replaces the whole document: unsaved work is offered for
    // saving first, and Cancel keeps it and sends nothing.
    if (!QuerySaveChanges())
        return;
    {
        const WaitCursor wait;
        m_document->ClearDocument();
    }
    m_history->Reset();
    UpdateCaption();
    RunUpload(m_uploadDlg->Choice());
    // What came from the register starts a fresh history.
    m_history->Reset();
    UpdateCaption();
}

void TMainForm::EditAndDownloadParameters()
{
    if (m_paraDlg == nullptr || !m_paraDlg->EditParameters())
        return;
    TransferChoice parametersOnly;
    parametersOnly.selection = 1u << 2;
    RunDownload(parametersOnly);
}

// Supplied with the transfer drivers.
void TMainForm::RunDownload(const TransferChoice& choice)
{
    const TransferResult result = m_downloadChangesOnly ? RunChangesDownload(choice)
                                                        : RunTransfer(choice, &DownloadTables);
    if (result.Succeeded())
        VerifyDownload(choice);
}

void TMainForm::RunUpload(const TransferChoice& choice)
{
    RunTransfer(choice, &UploadTables);
}

TransferResult TMainForm::RunTransfer(const TransferChoice& choice, TransferDriverFunction driver)
{
    if (m_progressForm == nullptr)
        return {};
    TransferResult result;
    RunTableTransfer([&](CapturingLink& link, const TransferTables& tables) {
        const TransferRequest request = RequestFor(choice, m_portNumber, m_speedIndex);
        result = driver(link, *m_progressForm, request, tables);
        TransferHistory history;
        RecordTransfer(history, driver == &UploadTables ? QStringLiteral("upload") : QStringLiteral("download"),
                       request, result, link.Captured(request.range));
    });
    ShowTransferOutcome(result);
    return result;
}

void TMainForm::RunTableTransfer(
    const std::function<void(CapturingLink& link, const TransferTables& tables)>& transfer)
{
    RunExclusive([&] {
        QelmIBusLink serial(Link());
        CapturingLink link(serial);
        transfer(link, TransferTables{PluTable(), DeptmentTable(), AppPaths::SettingsPath()});
    });
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
    RunExclusive([&] {
        result = service(context);
        TransferHistory history;
        history.RecordService(command, context.port.name, context.port.baudIndex, result);
        ShowHistoryWarning(history);
    });
    if (!result.detail.isEmpty())
        Messages().Error(result.detail);
}
