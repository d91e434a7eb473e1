#pragma once

#include "model/CellRules.h"
#include "model/Columns.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>

// The recycling table: 100 deposit-package records of three texts (PLU #,
// package price, barcode). Cells are addressed as the recycling grid shows
// them: columns 0..2, records as rows 1..100.
class RecyTable
{
public:
    static constexpr int RecordCount = kRecyRecordCount;
    static constexpr int FieldCount = kRecyFieldCount;

    // Every record at its defaults.
    RecyTable();

    // Empty outside the table.
    QString Cell(int col, int row) const;
    // False (and nothing stored) outside the table or for text with a
    // character a cell cannot hold.
    bool SetCell(int col, int row, const QString& text);

    static QString DefaultText(int col);
    static int MaxLength(int col);

    // Checks a cell and rewrites it in its normal form; false when refused.
    bool ValidateCell(int col, int row);
    static bool AcceptKey(int col, const QString& currentText, QChar ch, bool editorHasSelection);
    // Every cell of the rectangle back to its column's default.
    void ClearSelection(int left, int top, int right, int bottom);
    // Limits a rectangle to the table; false when nothing of it is left.
    static bool ClampToTable(int& left, int& top, int& right, int& bottom);
    // Every record back to (empty, "0.00", "0").
    void ResetRecycling();

    friend bool operator==(const RecyTable&, const RecyTable&) = default;

private:
    static bool IsCell(int col, int row);

    std::array<std::array<QString, FieldCount>, RecordCount> records_;
};

// A Qt model over a working copy of the recycling table, for its editor
// window: 3 columns, 100 rows; Qt index (row, column) is cell (column, row + 1).
class RecyTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecyTableModel(QObject* parent = nullptr);

    const RecyTable& Table() const { return table_; }
    void SetTable(const RecyTable& table);

    QString Cell(int col, int row) const { return table_.Cell(col, row); }
    bool SetCell(int col, int row, const QString& text);
    bool ValidateCell(int col, int row);
    bool AcceptKey(int col, const QString& currentText, QChar ch, bool editorHasSelection) const;
    void ClearSelection(int left, int top, int right, int bottom);

    // Tells views that the column titles changed (a language file was read).
    void RefreshTitles();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void CellsChanged(int left, int top, int right, int bottom);

    RecyTable table_;
};
