#pragma once

#include "model/CellRules.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

enum class TableKind { PLU, Department };

// The PLU table (3001 rows x 9 columns) or the department table (10 x 4), held
// as the texts the operator sees. Row 0 and column 0 are the title row and the
// row-number column: they hold nothing. The C++ operations count columns and
// rows as the grids do (data from 1); the Qt model exposes the data cells only,
// so Qt index (row, column) is cell (column + 1, row + 1).
class TextTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TextTable(TableKind kind, QObject* parent = nullptr);

    TableKind Kind() const { return kind_; }
    int RowCount() const { return rowCount_; }
    int ColCount() const { return colCount_; }
    // The name column: a row with a name counts as a named article.
    int KeyColumn() const;

    // Empty outside the data cells.
    QString Cell(int col, int row) const;
    // Whether every cell of the row holds its column's default value: its
    // text, or one the cell check reads alike (0.000 for 0.00, barcode 0 for
    // none, as an upload writes an unused PLU).
    bool HoldsOnlyDefaults(int row) const;
    // The last row holding anything but the defaults; 0 when there is none.
    int LastUsedRow() const;
    // False (and nothing stored) outside the data cells or for text with a
    // character a cell cannot hold.
    bool SetCell(int col, int row, const QString& text);

    int MaxLength(int col) const;
    QString DefaultText(int col) const;
    ColumnRule Rule(int col) const;
    // The cell check of the column (JudgeCell) on a text, or on the cell.
    CellJudgement JudgeText(int col, const QString& text, std::optional<int> priceDecimals = std::nullopt) const;
    CellJudgement JudgeCell(int col, int row, std::optional<int> priceDecimals = std::nullopt) const;
    // "Department: a whole number from 1 to 9": the column's title (as the
    // language file has it) and why the check refuses the cell; empty when
    // it does not.
    QString RefusalReason(int col, int row) const;
    bool IsHiddenColumn(int col) const;

    // Checks a cell and rewrites it in its normal form; false when refused.
    bool ValidateCell(int col, int row);
    // Whether ch may be typed into a cell of column col whose editor holds
    // currentText.
    bool AcceptKey(int col, const QString& currentText, QChar ch, bool editorHasSelection) const;

    // Every cell of the rectangle back to its column's default.
    void ClearSelection(int left, int top, int right, int bottom);
    // Whole rows back to their defaults; nothing when last < first.
    void ResetRows(int first, int last);
    void ResetGrid();
    // Moves the data of row from to row to, shifting the rows between; the
    // row numbers stay where they are.
    bool MoveRow(int from, int to);

    // Tells views that the column titles changed (a language file was read).
    void RefreshTitles();

    // Groups cell changes: while one exists, SetCell emits nothing, and when
    // the last one ends one dataChanged covers everything that changed.
    class Batch
    {
    public:
        explicit Batch(TextTable& table);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TextTable& table_;
    };

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool IsDataCell(int col, int row) const;
    bool HoldsDefault(int col, int row) const;
    QString& At(int col, int row);
    const QString& At(int col, int row) const;
    void CellsChanged(int left, int top, int right, int bottom);
    void EndBatch();

    const TableKind kind_;
    const int rowCount_;
    const int colCount_;
    std::vector<QString> cells_;  // data cells, row by row

    int batchDepth_ = 0;
    bool batchDirty_ = false;
    int dirtyLeft_ = 0, dirtyTop_ = 0, dirtyRight_ = 0, dirtyBottom_ = 0;
};
