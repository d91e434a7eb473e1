#include "app/CompareResultDlg.h"

#include "app/LanguageFile.h"
#include "model/Texts.h"
#include "widgets/DialogParts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr const char* kTexts = "CompareResultDlg";

QTableWidget* DifferencesGrid(const Differences& differences, const TCompareResultDlg::Sides& sides,
                              QWidget* parent)
{
    auto* grid = new QTableWidget(int(differences.size()), 5, parent);
    grid->setObjectName(QStringLiteral("DifferencesGrid"));
    grid->setHorizontalHeaderLabels(
        {Tr(kTexts, "DifferencesGrid.Table", "Table"), Tr(kTexts, "DifferencesGrid.Number", "No."),
         Tr(kTexts, "DifferencesGrid.Field", "Field"), sides.left, sides.right});
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setAlternatingRowColors(true);
    int row = 0;
    for (const FieldDifference& difference : differences) {
        const QStringList cells{Texts().DownloadItemTips[std::size_t(difference.table)],
                                QString::number(difference.number), difference.field, difference.documentValue,
                                difference.registerValue};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->setItem(row, column, item);
        }
        ++row;
    }
    grid->resizeColumnsToContents();
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

} // namespace

TCompareResultDlg::TCompareResultDlg(const QString& title, const Differences& differences, unsigned tables,
                                     const Sides& sides, const QString& openText, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CompareResultDlg"));
    setWindowTitle(title);
    const QString summary =
        differences.empty()
            ? Tr(kTexts, "Agree", "%1 and %2 agree.").arg(sides.left, sides.rightInSentence)
            : DifferenceCounts(differences, tables);
    auto* counts = NamedLabel(QStringLiteral("CountsLabel"), summary, this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (!openText.isEmpty()) {
        QPushButton* open = NamedButton(QStringLiteral("OpenAsNewBtn"), openText, this);
        connect(open, &QPushButton::clicked, this, [this] { done(kOpenAsNew); });
        buttons->addWidget(open);
    }
    QPushButton* close = NamedButton(QStringLiteral("CloseBtn"), QStringLiteral("&Close"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counts);
    layout->addWidget(DifferencesGrid(differences, sides, this), 1);
    layout->addLayout(buttons);
    resize(720, 420);
    TranslateWindow(*this);
}
