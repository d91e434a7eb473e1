#include "app/ImportConfirmDlg.h"

#include "app/LanguageFile.h"
#include "model/Language.h"
#include "widgets/DialogParts.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr const char* kTexts = "ImportConfirmDlg";

QString ShownRowsNote(const ImportPlan& plan)
{
    if (plan.changedRows <= TImportConfirmDlg::kShownRows)
        return {};
    return Tr(kTexts, "ShownRows", "The first %1 of %2 changed rows:")
        .arg(QLocale().toString(TImportConfirmDlg::kShownRows),
             QLocale().toString(plan.changedRows));
}

} // namespace

QString TImportConfirmDlg::Summary(const QString& fileName, TableKind table, const ImportPlan& plan)
{
    const QString tableName = table == TableKind::PLU ? Tr(kTexts, "PluTable", "PLU")
                                                      : Tr(kTexts, "DepartmentTable", "department");
    return Tr(kTexts, "Summary", "%1: %2 lines read; in the %3 table %4")
        .arg(fileName, QLocale().toString(plan.sheetRows), tableName, plan.Summary());
}

TImportConfirmDlg::TImportConfirmDlg(const QString& fileName, const TextTable& table,
                                     const ImportPlan& plan, QWidget* parent)
    : QDialog(parent), m_changes(new QTableWidget(this))
{
    setObjectName(QStringLiteral("ImportConfirmDlg"));
    setWindowTitle(QStringLiteral("Import"));

    auto* summaryLabel =
        NamedLabel(QStringLiteral("SummaryLBL"), Summary(fileName, table.Kind(), plan), this);
    summaryLabel->setWordWrap(true);
    auto* shownLabel = NamedLabel(QStringLiteral("ShownLBL"), ShownRowsNote(plan), this);
    shownLabel->setVisible(!shownLabel->text().isEmpty());

    m_changes->setObjectName(QStringLiteral("ChangesGrid"));
    m_changes->setColumnCount(4);
    m_changes->setHorizontalHeaderLabels(
        {table.Kind() == TableKind::PLU ? Tr(kTexts, "ChangesGrid.PLU", "PLU")
                                        : Tr(kTexts, "ChangesGrid.Department", "Department"),
         Tr(kTexts, "ChangesGrid.Column", "Column"), Tr(kTexts, "ChangesGrid.Before", "Before"),
         Tr(kTexts, "ChangesGrid.After", "After")});
    const QList<CellPreview> cells = PreviewImport(table, plan, kShownRows);
    m_changes->setRowCount(int(cells.size()));
    for (int i = 0; i < int(cells.size()); ++i) {
        const CellPreview& cell = cells[i];
        m_changes->setItem(i, 0, ReadOnlyItem(QString::number(cell.row)));
        m_changes->setItem(i, 1, ReadOnlyItem(table.headerData(cell.column - 1, Qt::Horizontal).toString()));
        m_changes->setItem(i, 2, ReadOnlyItem(cell.before));
        m_changes->setItem(i, 3, ReadOnlyItem(cell.after));
    }
    m_changes->verticalHeader()->hide();
    m_changes->verticalHeader()->setDefaultSectionSize(m_changes->fontMetrics().height() + 6);
    m_changes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_changes->horizontalHeader()->setStretchLastSection(true);
    m_changes->resizeColumnsToContents();

    auto* question = NamedLabel(QStringLiteral("QuestionLBL"), QStringLiteral("Import them?"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summaryLabel);
    layout->addWidget(shownLabel);
    layout->addWidget(m_changes, 1);
    layout->addWidget(question);
    layout->addLayout(OkCancelRow(*this));
    resize(560, 360);
    TranslateWindow(*this);
}
