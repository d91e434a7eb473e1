// Reports > Sales...: the sales report window over the document and the
// readings kept in the history.
#include "app/Main.h"

#include "app/FileDialogs.h"
#include "app/SalesReportDlg.h"
#include "history/HistoryDevice.h"
#include "history/HistoryStore.h"
#include "model/MessageBox.h"

#include <QFileDialog>

void TMainForm::SalesItemClick()
{
    if (!CommitActiveGrid())
        return;
    // Looking at sales never writes the history.
    HistoryStore store(HistoryDatabasePath(), HistoryLimits(), HistoryStore::Access::ReadOnly);
    if (!store.Error().isEmpty()) {
        m_messages->Error(store.Error());
        return;
    }
    TSalesReportDlg::Hooks hooks;
    hooks.saveFileName = [this](const QString& title, const QString& filter) {
        return QFileDialog::getSaveFileName(this, title, m_dialogs->Folder(), filter);
    };
    hooks.notice = [this](const QString& text) { ShowStatusNotice(text); };
    hooks.error = [this](const QString& text) { m_messages->Error(text); };
    TSalesReportDlg dialog(store, PluTable(), DeptmentTable(), hooks, this);
    dialog.exec();
}
