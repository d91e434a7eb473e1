#include "model/TextTable.h"

#include "model/Language.h"

#include "model/Columns.h"
#include "model/Defs.h"
#include "model/Texts.h"

#include <algorithm>

TextTable::TextTable(TableKind kind, QObject* parent)
    : QAbstractTableModel(parent),
      kind_(kind),
      rowCount_(kind == TableKind::PLU ? kPLURowCount : kDeptmentRowCount),
      colCount_(kind == TableKind::PLU ? kPLUColCount : kDeptmentColCount),
      cells_(static_cast<std::size_t>((rowCount_ - 1) * (colCount_ - 1)))
{
    ResetGrid();
}

int TextTable::KeyColumn() const
{
    return kind_ == TableKind::PLU ? PLUColumn::Name : DeptmentColumn::Name;
}

bool TextTable::IsDataCell(int col, int row) const
{
    return col >= 1 && col < colCount_ && row >= 1 && row < rowCount_;
}

QString& TextTable::At(int col, int row)
{
    return cells_[static_cast<std::size_t>((row - 1) * (colCount_ - 1) + (col - 1))];
}

const QString& TextTable::At(int col, int row) const
{
    return cells_[static_cast<std::size_t>((row - 1) * (colCount_ - 1) + (col - 1))];
}

QString TextTable::Cell(int col, int row) const
{
    return IsDataCell(col, row) ? At(col, row) : QString();
}

bool TextTable::HoldsDefault(int col, int row) const
{
    const QString& text = At(col, row);
    const QString usual = DefaultText(col);
    if (text == usual)
        return true;
    const CellJudgement judged = JudgeText(col, text);
    if (!judged.Taken())
        return false;
    const CellJudgement usualJudged = JudgeText(col, usual);
    switch (Rule(col).check) {
    case ColumnRule::Check::Whole:
        // An empty barcode and barcode 0 are the same to the register: none,
        // and an upload writes an unused PLU's barcode as 0.
        return ParseWhole(judged.text).value_or(0) == ParseWhole(usualJudged.text).value_or(0);
    case ColumnRule::Check::Decimal:
        // 0.000 read from a register with three price decimals is 0.00.
        return Decimal::Parse(judged.text, DecimalSeparator()) == Decimal::Parse(usualJudged.text, DecimalSeparator());
    case ColumnRule::Check::LengthOnly:
        break;
    }
    return judged.text == usualJudged.text;
}

bool TextTable::HoldsOnlyDefaults(int row) const
{
    if (!IsDataCell(1, row))
        return true;
    for (int col = 1; col < colCount_; ++col) {
        if (!HoldsDefault(col, row))
            return false;
    }
    return true;
}

int TextTable::LastUsedRow() const
{
    for (int row = rowCount_ - 1; row >= 1; --row) {
        if (!HoldsOnlyDefaults(row))
            return row;
    }
    return 0;
}

bool TextTable::SetCell(int col, int row, const QString& text)
{
    if (!IsDataCell(col, row) || !IsSingleByteText(text))
        return false;
    QString& cell = At(col, row);
    if (cell != text) {
        cell = text;
        CellsChanged(col, row, col, row);
    }
    return true;
}

int TextTable::MaxLength(int col) const
{
    return Rule(col).maxLength;
}

QString TextTable::DefaultText(int col) const
{
    return kind_ == TableKind::PLU ? PLUDefault(col) : DeptmentDefault(col);
}

ColumnRule TextTable::Rule(int col) const
{
    return kind_ == TableKind::PLU ? PLURule(col) : DeptmentRule(col);
}

CellJudgement TextTable::JudgeText(int col, const QString& text, std::optional<int> priceDecimals) const
{
    return ::JudgeCell(Rule(col), DefaultText(col), text, priceDecimals);
}

CellJudgement TextTable::JudgeCell(int col, int row, std::optional<int> priceDecimals) const
{
    return JudgeText(col, Cell(col, row), priceDecimals);
}

QString TextTable::RefusalReason(int col, int row) const
{
    const QString refusal = JudgeCell(col, row).refusal;
    if (refusal.isEmpty())
        return {};
    const auto& titles = kind_ == TableKind::PLU ? Texts().PLUTitles.data() : Texts().DeptmentTitles.data();
    const int count = kind_ == TableKind::PLU ? int(Texts().PLUTitles.size()) : int(Texts().DeptmentTitles.size());
    const QString title = col >= 0 && col < count ? titles[col] : QString();
    return Tr("CellRules", "ColumnRefusal", "%1: %2").arg(title, refusal);
}

bool TextTable::IsHiddenColumn(int col) const
{
    return col == (kind_ == TableKind::PLU ? PLUColumn::Flag : DeptmentColumn::UnitPrice);
}

bool TextTable::ValidateCell(int col, int row)
{
    if (!IsDataCell(col, row))
        return true;
    const CellJudgement judgement = JudgeCell(col, row);
    if (!judgement.Taken())
        return false;
    SetCell(col, row, judgement.text);
    return true;
}

bool TextTable::AcceptKey(int col, const QString& currentText, QChar ch,
                          bool editorHasSelection) const
{
    return AcceptCellKey(Rule(col), currentText, ch, editorHasSelection);
}

void TextTable::ClearSelection(int left, int top, int right, int bottom)
{
    left = std::max(left, 1);
    top = std::max(top, 1);
    right = std::min(right, colCount_ - 1);
    bottom = std::min(bottom, rowCount_ - 1);
    if (right < left || bottom < top)
        return;
    for (int col = left; col <= right; ++col) {
        const QString text = DefaultText(col);
        for (int row = top; row <= bottom; ++row)
            At(col, row) = text;
    }
    CellsChanged(left, top, right, bottom);
}

void TextTable::ResetRows(int first, int last)
{
    ClearSelection(1, first, colCount_ - 1, last);
}

void TextTable::ResetGrid()
{
    ResetRows(1, rowCount_ - 1);
}

bool TextTable::MoveRow(int from, int to)
{
    if (from < 1 || from >= rowCount_ || to < 1 || to >= rowCount_)
        return false;
    if (from == to)
        return true;
    const auto width = static_cast<std::ptrdiff_t>(colCount_ - 1);
    const auto rowBegin = [&](int row) { return cells_.begin() + (row - 1) * width; };
    if (from < to)
        std::rotate(rowBegin(from), rowBegin(from + 1), rowBegin(to + 1));
    else
        std::rotate(rowBegin(to), rowBegin(from), rowBegin(from + 1));
    CellsChanged(1, std::min(from, to), colCount_ - 1, std::max(from, to));
    return true;
}

void TextTable::RefreshTitles()
{
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void TextTable::CellsChanged(int left, int top, int right, int bottom)
{
    if (batchDepth_ > 0) {
        if (!batchDirty_) {
            dirtyLeft_ = left;
            dirtyTop_ = top;
            dirtyRight_ = right;
            dirtyBottom_ = bottom;
            batchDirty_ = true;
        } else {
            dirtyLeft_ = std::min(dirtyLeft_, left);
            dirtyTop_ = std::min(dirtyTop_, top);
            dirtyRight_ = std::max(dirtyRight_, right);
            dirtyBottom_ = std::max(dirtyBottom_, bottom);
        }
        return;
    }
    emit dataChanged(index(top - 1, left - 1), index(bottom - 1, right - 1),
                     {Qt::DisplayRole, Qt::EditRole});
}

TextTable::Batch::Batch(TextTable& table) : table_(table)
{
    ++table_.batchDepth_;
}

TextTable::Batch::~Batch()
{
    table_.EndBatch();
}

void TextTable::EndBatch()
{
    if (--batchDepth_ > 0 || !batchDirty_)
        return;
    batchDirty_ = false;
    CellsChanged(dirtyLeft_, dirtyTop_, dirtyRight_, dirtyBottom_);
}

int TextTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount_ - 1;
}

int TextTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount_ - 1;
}

QVariant TextTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return Cell(index.column() + 1, index.row() + 1);
}

bool TextTable::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    return SetCell(index.column() + 1, index.row() + 1, value.toString());
}

QVariant TextTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section >= 0 && section < rowCount_ - 1 ? QVariant(section + 1) : QVariant();
    const int col = section + 1;
    if (col < 1 || col >= colCount_)
        return {};
    return kind_ == TableKind::PLU ? Texts().PLUTitles[col] : Texts().DeptmentTitles[col];
}

Qt::ItemFlags TextTable::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!IsHiddenColumn(index.column() + 1))
        result |= Qt::ItemIsEditable;
    return result;
}
