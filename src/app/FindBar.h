#pragma once

#include "model/TableSearch.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;
class TableGrid;
class TextTable;

// The find bar above the grids: searches the PLU table (names, barcodes, PLU
// numbers) and the department names as the text is typed, shows the count of
// matches, moves the cursor to the next (Enter) or previous (Shift+Enter)
// match, and can hide the rows that do not match. Hiding rows changes no row
// and no row number; an empty text or closing the bar shows every row again.
// A change of either table searches again.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    FindBar(TableGrid& pluGrid, TextTable& plu, TableGrid& deptGrid, TextTable& dept,
            QWidget* parent = nullptr);

    // Words the bar's labels, buttons and hints in the installed language.
    void ShowTexts();

    // Shows the bar with its text selected and the keyboard in it.
    void Open();
    void Close();

    void SetText(const QString& text);
    QString Text() const;
    void SetFilter(bool on);
    bool IsFiltering() const;

    int MatchCount() const { return int(m_pluMatches.size() + m_deptMatches.size()); }
    // Goes to the next or previous match (wrapping); false without matches or
    // when the current cell refused to be left.
    bool GoToNext();
    bool GoToPrevious();

    // The PLU rows (TextTable numbering) the filter shows; all rows without it.
    std::vector<int> ShownPluRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Search();
    bool GoTo(int position);
    void ApplyFilter();
    void ShowCount();
    void TablesChanged();
    void SearchAgain();
    TableMatch MatchAt(int position) const;

    TableGrid& m_pluGrid;
    TextTable& m_plu;
    TableGrid& m_deptGrid;
    TextTable& m_dept;
    QLabel* m_label = nullptr;
    QLineEdit* m_edit = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_close = nullptr;
    QLabel* m_count = nullptr;
    QCheckBox* m_filter = nullptr;
    QTimer* m_research = nullptr;
    std::vector<TableMatch> m_pluMatches;
    std::vector<TableMatch> m_deptMatches;
    int m_position = -1; // index into PLU matches, then department matches
};
