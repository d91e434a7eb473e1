// Several registers from the main window: the list of named registers, Send
// to registers and Compare with registers.

#include "app/Main.h"

#include "app/RegistersDlg.h"
#include "app/SeveralRegistersDlg.h"
#include "config/AppPaths.h"
#include "config/SettingsFile.h"
#include "dialogs/ProgressForm.h"
#include "history/TransferHistory.h"
#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "transfer/TestConnection.h"
#include "model/Language.h"

void TMainForm::RegistersItemClick()
{
    if (m_progressForm == nullptr)
        return;
    // The Test of a row is the window's connection test on that register's
    // port; the list goes to the settings file on OK.
    const auto test = [this](const NamedRegister& entry) {
        const ServiceContext context{Link(), *m_progressForm, *m_messages, ServicePort{entry.port, entry.baudIndex}};
        const ServiceResult result = TestConnection(context);
        TransferHistory history;
        history.RecordService(QStringLiteral("test"), entry.port, entry.baudIndex, result);
        ShowHistoryWarning(history);
        return result.Succeeded() ? Tr("MainForm", "RegisterAnswers", "Answers") : result.message;
    };
    RunExclusive([&] {
        TRegistersDlg dialog(ReadRegisterList(AppPaths::SettingsPath()), test, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        try {
            WriteRegisterList(AppPaths::SettingsPath(), dialog.Registers());
        } catch (const SettingsWriteError& error) {
            m_messages->Error(error.Message());
        }
    });
    UpdatePortStatus();
}

void TMainForm::RunOnRegisters(bool compare)
{
    if (!CommitActiveGrid())
        return;
    const RegisterList registers = ReadRegisterList(AppPaths::SettingsPath());
    if (registers.empty()) {
        m_messages->Information(
            Tr("MainForm", "NoRegistersListed", "No registers are listed yet: add them in Communication > Registers..."));
        return;
    }
    RegisterLinkOptions link;
    link.retryInterval = Link().RetryInterval();
    link.retryCount = Link().RetryCount();
    RunExclusive([&] {
        TSeveralRegistersDlg dialog(compare ? TSeveralRegistersDlg::Mode::Compare : TSeveralRegistersDlg::Mode::Send,
                                    registers, PluTable(), DeptmentTable(), AppPaths::SettingsPath(), link, this);
        dialog.exec();
    });
}

void TMainForm::SendRegistersItemClick()
{
    RunOnRegisters(false);
}

void TMainForm::CompareRegistersItemClick()
{
    RunOnRegisters(true);
}
