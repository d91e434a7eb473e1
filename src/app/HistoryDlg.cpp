#include "app/HistoryDlg.h"

#include "app/CompareResultDlg.h"
#include "app/LanguageFile.h"
#include "history/HistoryStore.h"
#include "widgets/DialogParts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* kTexts = "HistoryDlg";

// Entry numbers are identifiers: plain digits.
QString EntryName(const HistoryEntry& entry)
{
    return Tr(kTexts, "Entry", "Entry %1").arg(entry.id);
}

// The name as it stands inside a sentence, where English writes it in small letters.
QString EntryNameInSentence(const HistoryEntry& entry)
{
    return Tr(kTexts, "EntryInSentence", "entry %1").arg(entry.id);
}

} // namespace

THistoryDlg::THistoryDlg(HistoryStore& store, DocumentSnapshot document, OpenAsNew openAsNew, QWidget* parent)
    : QDialog(parent), m_store(store), m_document(std::move(document)), m_openAsNew(std::move(openAsNew))
{
    setObjectName(QStringLiteral("HistoryDlg"));
    setWindowTitle(QStringLiteral("History"));

    m_list = new QTableWidget(0, 6, this);
    m_list->setObjectName(QStringLiteral("HistoryList"));
    m_list->setHorizontalHeaderLabels(
        {Tr(kTexts, "HistoryList.Number", "No."), Tr(kTexts, "HistoryList.Time", "Time"),
         Tr(kTexts, "HistoryList.Command", "Command"), Tr(kTexts, "HistoryList.Port", "Port"),
         Tr(kTexts, "HistoryList.Tables", "Tables"), Tr(kTexts, "HistoryList.Outcome", "Outcome")});
    m_list->verticalHeader()->setVisible(false);
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAlternatingRowColors(true);
    m_note = NamedLabel(QStringLiteral("NoteLabel"), QString(), this);
    m_note->setWordWrap(true);

    m_compareDocument = NamedButton(QStringLiteral("CompareDocumentBtn"), QStringLiteral("Compare with &document"), this);
    m_compareEntries = NamedButton(QStringLiteral("CompareEntriesBtn"), QStringLiteral("Compare &entries"), this);
    m_open = NamedButton(QStringLiteral("OpenAsNewBtn"), QStringLiteral("&Open as a new document"), this);
    QPushButton* close = NamedButton(QStringLiteral("CloseBtn"), QStringLiteral("&Close"), this);
    connect(m_compareDocument, &QPushButton::clicked, this, &THistoryDlg::CompareWithDocument);
    connect(m_compareEntries, &QPushButton::clicked, this, &THistoryDlg::CompareEntries);
    connect(m_open, &QPushButton::clicked, this, &THistoryDlg::OpenSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &THistoryDlg::UpdateButtons);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_compareDocument);
    buttons->addWidget(m_compareEntries);
    buttons->addWidget(m_open);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_note);
    layout->addLayout(buttons);
    resize(760, 440);
    TranslateWindow(*this);

    FillList();
    if (m_list->rowCount() > 0)
        m_list->selectRow(0);
    UpdateButtons();
}

void THistoryDlg::FillList()
{
    m_entries = m_store.List();
    m_list->setRowCount(int(m_entries.size()));
    int row = 0;
    for (const HistoryEntry& entry : m_entries) {
        const QStringList cells{QString::number(entry.id),
                                entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                entry.command, entry.port, entry.TablesText(),
                                entry.error.isEmpty() ? entry.outcome : entry.outcome + QStringLiteral(": ") + entry.error};
        for (int column = 0; column < cells.size(); ++column)
            m_list->setItem(row, column, new QTableWidgetItem(cells[column]));
        ++row;
    }
    m_list->resizeColumnsToContents();
    m_list->horizontalHeader()->setStretchLastSection(true);
    if (m_entries.empty())
        m_note->setText(m_store.Error().isEmpty()
                            ? Tr(kTexts, "NoEntries", "No transfer has been recorded yet.")
                            : m_store.Error());
}

// The selected entries with their contents, oldest first.
std::vector<HistoryEntry> THistoryDlg::SelectedEntries()
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end(), std::greater<>());
    std::vector<HistoryEntry> entries;
    for (const int row : rows) {
        if (row < 0 || row >= int(m_entries.size()))
            continue;
        if (auto entry = m_store.Entry(m_entries[std::size_t(row)].id))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

void THistoryDlg::UpdateButtons()
{
    const int selected = int(m_list->selectionModel()->selectedRows().size());
    m_compareDocument->setEnabled(selected == 1);
    m_open->setEnabled(selected == 1);
    m_compareEntries->setEnabled(selected == 2);
}

void THistoryDlg::ShowDifferences(const QString& title, const Differences& differences,
                                  unsigned tables, const TCompareResultDlg::Sides& sides)
{
    TCompareResultDlg result(title, differences, tables, sides, QString(), this);
    result.exec();
}

void THistoryDlg::CompareWithDocument()
{
    const std::vector<HistoryEntry> entries = SelectedEntries();
    if (entries.size() != 1 || !entries[0].contents || entries[0].contents->IsEmpty()) {
        m_note->setText(Tr(kTexts, "NoTables", "This entry holds no tables."));
        return;
    }
    const TableSnapshot& held = *entries[0].contents;
    ShowDifferences(
        Tr(kTexts, "DocumentAndEntry", "Document and %1").arg(EntryNameInSentence(entries[0])),
        CompareSnapshots(m_document(held.priceDecimals), held), held.Tables(),
        {Tr(kTexts, "Document", "Document"), EntryName(entries[0]),
         EntryNameInSentence(entries[0])});
}

void THistoryDlg::CompareEntries()
{
    const std::vector<HistoryEntry> entries = SelectedEntries();
    if (entries.size() != 2 || !entries[0].contents || !entries[1].contents) {
        m_note->setText(Tr(kTexts, "ChooseTwo", "Choose two entries that hold tables."));
        return;
    }
    const HistoryEntry& older = entries[0];
    const HistoryEntry& newer = entries[1];
    ShowDifferences(
        Tr(kTexts, "TwoEntries", "%1 and %2").arg(EntryName(older), EntryNameInSentence(newer)),
        CompareSnapshots(*older.contents, *newer.contents),
        older.contents->Tables() & newer.contents->Tables(),
        {EntryName(older), EntryName(newer), EntryNameInSentence(newer)});
}

void THistoryDlg::OpenSelected()
{
    const std::vector<HistoryEntry> entries = SelectedEntries();
    if (entries.size() != 1 || !entries[0].contents || entries[0].contents->IsEmpty()) {
        m_note->setText(Tr(kTexts, "NoTables", "This entry holds no tables."));
        return;
    }
    accept();
    m_openAsNew(*entries[0].contents);
}
