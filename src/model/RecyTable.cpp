#include "model/RecyTable.h"

#include "model/Texts.h"

#include <algorithm>

RecyTable::RecyTable()
{
    ResetRecycling();
}

bool RecyTable::IsCell(int col, int row)
{
    return col >= 0 && col < FieldCount && row >= 1 && row <= RecordCount;
}

QString RecyTable::Cell(int col, int row) const
{
    return IsCell(col, row) ? records_[row - 1][col] : QString();
}

bool RecyTable::SetCell(int col, int row, const QString& text)
{
    if (!IsCell(col, row) || !IsSingleByteText(text))
        return false;
    records_[row - 1][col] = text;
    return true;
}

QString RecyTable::DefaultText(int col)
{
    return RecyDefault(col);
}

int RecyTable::MaxLength(int col)
{
    return RecyRule(col).maxLength;
}

bool RecyTable::ValidateCell(int col, int row)
{
    if (!IsCell(col, row))
        return true;
    return CheckCellText(RecyRule(col), DefaultText(col), records_[row - 1][col]);
}

bool RecyTable::AcceptKey(int col, const QString& currentText, QChar ch, bool editorHasSelection)
{
    return AcceptCellKey(RecyRule(col), currentText, ch, editorHasSelection);
}

bool RecyTable::ClampToTable(int& left, int& top, int& right, int& bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 1);
    right = std::min(right, FieldCount - 1);
    bottom = std::min(bottom, static_cast<int>(RecordCount));
    return left <= right && top <= bottom;
}

void RecyTable::ClearSelection(int left, int top, int right, int bottom)
{
    if (!ClampToTable(left, top, right, bottom))
        return;
    for (int col = left; col <= right; ++col) {
        const QString text = DefaultText(col);
        for (int row = top; row <= bottom; ++row)
            records_[row - 1][col] = text;
    }
}

void RecyTable::ResetRecycling()
{
    ClearSelection(0, 1, FieldCount - 1, RecordCount);
}

RecyTableModel::RecyTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecyTableModel::SetTable(const RecyTable& table)
{
    table_ = table;
    CellsChanged(0, 1, RecyTable::FieldCount - 1, RecyTable::RecordCount);
}

bool RecyTableModel::SetCell(int col, int row, const QString& text)
{
    if (!table_.SetCell(col, row, text))
        return false;
    CellsChanged(col, row, col, row);
    return true;
}

bool RecyTableModel::ValidateCell(int col, int row)
{
    const QString before = table_.Cell(col, row);
    if (!table_.ValidateCell(col, row))
        return false;
    if (table_.Cell(col, row) != before)
        CellsChanged(col, row, col, row);
    return true;
}

bool RecyTableModel::AcceptKey(int col, const QString& currentText, QChar ch,
                               bool editorHasSelection) const
{
    return RecyTable::AcceptKey(col, currentText, ch, editorHasSelection);
}

void RecyTableModel::ClearSelection(int left, int top, int right, int bottom)
{
    if (!RecyTable::ClampToTable(left, top, right, bottom))
        return;
    table_.ClearSelection(left, top, right, bottom);
    CellsChanged(left, top, right, bottom);
}

void RecyTableModel::RefreshTitles()
{
    emit headerDataChanged(Qt::Horizontal, 0, RecyTable::FieldCount - 1);
}

void RecyTableModel::CellsChanged(int left, int top, int right, int bottom)
{
    emit dataChanged(index(top - 1, left), index(bottom - 1, right), {Qt::DisplayRole, Qt::EditRole});
}

int RecyTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RecyTable::RecordCount;
}

int RecyTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RecyTable::FieldCount;
}

QVariant RecyTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return table_.Cell(index.column(), index.row() + 1);
}

bool RecyTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    return SetCell(index.column(), index.row() + 1, value.toString());
}

QVariant RecyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section >= 0 && section < RecyTable::RecordCount ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= RecyTable::FieldCount)
        return {};
    return Texts().RecyTitles[section];
}

Qt::ItemFlags RecyTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}
