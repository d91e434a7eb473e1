#pragma once

#include "model/CellRules.h"

#include <QChar>
#include <QString>

// The per-cell rules an editing grid applies to the table it shows. Rows and
// columns are the grid's own: data cells only, counted from 0.
class ITableGridRules
{
public:
    virtual ~ITableGridRules() = default;

    // Checks the cell and normalises its text in place; false when the value
    // is refused (the text then stays as it was).
    virtual bool ValidateCell(int row, int column) = 0;

    // The column's cell check on a text that is not in the cell yet (a paste).
    virtual CellJudgement JudgeText(int row, int column, const QString& text) const = 0;

    // Whether ch (code 32 or more) may be typed into the cell while its editor
    // shows text; hasSelection tells whether the character replaces selected text.
    virtual bool AcceptKey(int row, int column, const QString& text, QChar ch,
                           bool hasSelection) const = 0;

    // The character a typed or pasted ch becomes in the cell (numeric columns
    // take "," and "." as the decimal separator).
    virtual QChar KeyChar(int /*row*/, int /*column*/, QChar ch) const { return ch; }

    // Why ValidateCell refuses the cell's value, for the operator; empty when
    // it does not or the rules cannot say.
    virtual QString RefusalReason(int /*row*/, int /*column*/) const { return {}; }

    // Sets every cell of the rectangle (inclusive bounds) to its column's default.
    virtual void ClearCells(int top, int left, int bottom, int right) = 0;

    // Hidden columns keep values but are never shown nor entered.
    virtual bool IsHiddenColumn(int column) const = 0;

    // Moves a whole row: the row at from ends up at to, the rows between shift
    // by one. Tables whose rows cannot move ignore it.
    virtual void MoveRow(int from, int to) = 0;
};

class TextTable;

// The rules of a PLU or department table, shown without its title row and
// row-number column: grid cell (row, column) is table cell (column + 1, row + 1).
class TextTableGridRules : public ITableGridRules
{
public:
    explicit TextTableGridRules(TextTable& table) : m_table(table) {}

    bool ValidateCell(int row, int column) override;
    CellJudgement JudgeText(int row, int column, const QString& text) const override;
    bool AcceptKey(int row, int column, const QString& text, QChar ch,
                   bool hasSelection) const override;
    QChar KeyChar(int row, int column, QChar ch) const override;
    QString RefusalReason(int row, int column) const override;
    void ClearCells(int top, int left, int bottom, int right) override;
    bool IsHiddenColumn(int column) const override;
    void MoveRow(int from, int to) override;

private:
    TextTable& m_table;
};
