// File > Import... and File > Export...: the PLU or department table to and
// from a CSV or XLSX sheet.
#include "app/Main.h"

#include "app/ImportConfirmDlg.h"
#include "app/SheetDlg.h"
#include "app/WaitCursor.h"
#include "editing/DocumentHistory.h"
#include "exchange/SheetColumns.h"
#include "exchange/SheetFiles.h"
#include "exchange/TableImport.h"
#include "model/MessageBox.h"
#include "model/Language.h"

#include <QDir>
#include <QFileInfo>

void TMainForm::SetSheetDialogs(ISheetDialogs* dialogs)
{
    m_sheetDialogs = dialogs;
}

ISheetDialogs& TMainForm::SheetDialogs()
{
    if (m_sheetDialogs == nullptr) {
        m_ownSheetDialogs = std::make_unique<WidgetSheetDialogs>(this);
        m_sheetDialogs = m_ownSheetDialogs.get();
    }
    return *m_sheetDialogs;
}

TextTable& TMainForm::TableOf(TableKind kind)
{
    return kind == TableKind::PLU ? *m_pluTable : *m_deptTable;
}

void TMainForm::ImportItemClick()
{
    if (!CommitActiveGrid())
        return;
    const auto choice = SheetDialogs().ChooseImport();
    if (!choice)
        return;
    TextTable& table = TableOf(choice->table);
    SheetRead read;
    {
        const WaitCursor wait;
        read = ReadSheetFile(choice->path);
    }
    if (!read.Ok()) {
        m_messages->Error(read.error);
        return;
    }
    const ImportPlan plan = PlanImport(table, read.sheet);
    const QString name = QFileInfo(choice->path).fileName();
    if (!plan.Accepted()) {
        m_messages->Error(Tr("MainForm", "ImportRefused", "%1: %2").arg(name, plan.Refusal()));
        return;
    }
    if (plan.changes.isEmpty()) {
        m_messages->Information(Tr("MainForm", "ImportNothingNew", "%1: the %2 table already holds every value.")
                                    .arg(name, SheetTableName(choice->table)));
        return;
    }
    TImportConfirmDlg confirm(name, table, plan, this);
    if (confirm.exec() != QDialog::Accepted)
        return;
    ApplySheetImport(table, plan);
    ShowStatusNotice(ImportDoneText(choice->table, plan.changedRows, choice->path));
}

// The one place the window changes a table from a sheet.
void TMainForm::ApplySheetImport(TextTable& table, const ImportPlan& plan)
{
    m_history->Record(Tr("DocumentHistory", "Import", "Import"), [&] { ApplyImport(table, plan); });
    FollowHistory();
}

void TMainForm::ExportItemClick()
{
    if (!CommitActiveGrid())
        return;
    const auto choice = SheetDialogs().ChooseExport();
    if (!choice)
        return;
    ExportOptions options;
    options.allRows = choice->allRows;
    int rows = 0;
    if (RunFileCommand([&] { rows = ExportTableFile(TableOf(choice->table), choice->path, options); }))
        ShowStatusNotice(ExportDoneText(choice->table, rows, choice->path));
}
