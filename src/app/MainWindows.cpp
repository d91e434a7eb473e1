#include "app/Main.h"

#include "app/About.h"
#include "link/QelmIBus.h"
#include "link/RegisterLink.h"
#include "app/ConnectionCheckDlg.h"
#include "dialogs/CommDlg.h"
#include "dialogs/DetectPortDlg.h"
#include "dialogs/ParaDlg.h"
#include "dialogs/Recy.h"
#include "dialogs/DataDlg.h"
#include "dialogs/ProgressForm.h"
#include "dialogs/uprange.h"

void TMainForm::CreateWindows(const QString& companyName)
{
    m_commDlg = new TCommDlg(*m_messages, this);
    RegisterWindow(m_commDlg);
    m_progressForm = std::make_unique<TProgressForm>(this, *m_messages);
    RegisterWindow(m_progressForm.get());
    SetAboutBox(new TAboutBox(companyName, this));
    m_uploadDlg = new TUploadDlg(*m_messages, this);
    RegisterWindow(m_uploadDlg);
    m_downloadDlg = new TDownloadDlg(*m_messages, this);
    RegisterWindow(m_downloadDlg);
    m_detectPortDlg = new TDetectPortDlg(this);
    RegisterWindow(m_detectPortDlg);
    m_dataDlg = new TDataDlg(*m_messages, this);
    RegisterWindow(m_dataDlg);
    m_paraDlg = new TParaDlg(*m_messages, this);
    RegisterWindow(m_paraDlg);
    connect(this, &TMainForm::GridFontChanged, m_paraDlg, &TParaDlg::SetFontForAll);
    SetRecyForm(new TRecyForm(this));
    m_connectionCheckDlg = new TConnectionCheckDlg(this);
    RegisterWindow(m_connectionCheckDlg);

    m_detectLink = MakeRegisterLink();
    m_detectLink->setObjectName(QStringLiteral("QelmIBusComm1"));
    m_detectLink->SetMessageBox(m_messages);
    m_detectPortDlg->SetAbortHandler([this] { m_detectLink->Abort(); });
    m_detectPortDlg->SetScanHook([this](TDetectPortDlg& dialog) { ScanForRegister(dialog); });
}
