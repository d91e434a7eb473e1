#pragma once

#include "app/CompareResultDlg.h"
#include "history/HistoryEntry.h"
#include "transfer/Compare.h"

#include <QDialog>

#include <functional>
#include <vector>

class HistoryStore;
class QLabel;
class QPushButton;
class QTableWidget;

// Communication > History...: the transfers, newest first (HistoryList). For
// the selected entry: its differences with the document (CompareDocumentBtn);
// for two selected entries: their differences (CompareEntriesBtn); and "Open
// as a new document" (OpenAsNewBtn), which hands the entry's tables to the
// main window and closes the dialog.
class THistoryDlg : public QDialog
{
    Q_OBJECT

public:
    // What the document would send, at the entry's price decimals.
    using DocumentSnapshot = std::function<TableSnapshot(quint8 priceDecimals)>;
    using OpenAsNew = std::function<void(const TableSnapshot& tables)>;

    THistoryDlg(HistoryStore& store, DocumentSnapshot document, OpenAsNew openAsNew, QWidget* parent);

private:
    void FillList();
    std::vector<HistoryEntry> SelectedEntries();
    void UpdateButtons();
    void CompareWithDocument();
    void CompareEntries();
    void OpenSelected();
    void ShowDifferences(const QString& title, const Differences& differences, unsigned tables,
                         const TCompareResultDlg::Sides& sides);

    HistoryStore& m_store;
    DocumentSnapshot m_document;
    OpenAsNew m_openAsNew;
    std::vector<HistoryEntry> m_entries;
    QTableWidget* m_list;
    QLabel* m_note;
    QPushButton* m_compareDocument;
    QPushButton* m_compareEntries;
    QPushButton* m_open;
};
