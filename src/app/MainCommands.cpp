#include "app/Main.h"

#include "app/TableGrid.h"
#include "app/WaitCursor.h"
#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "settings/CommDlg.h"
#include "settings/DetectPortDlg.h"
#include "settings/ParaDlg.h"
#include "transfer/uprange.h"

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
}

void TMainForm::DetectportItemClick()
{
    if (m_detectPortDlg != nullptr)
        m_detectPortDlg->Run();
}

// Supplied with the connection test.
void TMainForm::TestItemClick() {}
namespace {

constexpr unsigned PluBit = 1u << 0;
constexpr unsigned DeptmentBit = 1u << 1;

} // namespace

void TMainForm::DownloadItemClick()
{
    if (m_downloadDlg == nullptr || !m_downloadDlg->Run())
        return;
    const unsigned selection = m_downloadDlg->DownloadSelection();
    // The grid of the first chosen table must not hold a rejected cell.
    TableGrid* grid = (selection & PluBit) != 0        ? m_pluGrid
                      : (selection & DeptmentBit) != 0 ? m_deptGrid
                                                       : nullptr;
    if (grid != nullptr && !grid->CommitCurrentCell()) {
        m_messages->Information(QStringLiteral("Invalid data!"));
        return;
    }
    RunDownload(m_downloadDlg->Choice());
}

void TMainForm::UploadItemClick()
{
    if (m_uploadDlg == nullptr || !m_uploadDlg->Run())
        return;
    // The upload replaces the whole document: unsaved work is offered for
    // saving first, and Cancel keeps it and sends nothing.
    if (!QuerySaveChanges())
        return;
    {
        const WaitCursor wait;
        m_document->ClearDocument();
    }
    UpdateCaption();
    RunUpload(m_uploadDlg->Choice());
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
void TMainForm::RunDownload(const TransferChoice&) {}
void TMainForm::RunUpload(const TransferChoice&) {}
// Supplied with the service commands.
void TMainForm::DownloadFontItemClick() {}
void TMainForm::DumpMemory() {}
void TMainForm::DownloadProgram() {}
