#include "widgets/TableGridRules.h"

#include "model/TextTable.h"

bool TextTableGridRules::ValidateCell(int row, int column)
{
    return m_table.ValidateCell(column + 1, row + 1);
}

CellJudgement TextTableGridRules::JudgeText(int, int column, const QString& text) const
{
    return m_table.JudgeText(column + 1, text);
}

bool TextTableGridRules::AcceptKey(int, int column, const QString& text, QChar ch,
                                   bool hasSelection) const
{
    return m_table.AcceptKey(column + 1, text, ch, hasSelection);
}

QChar TextTableGridRules::KeyChar(int, int column, QChar ch) const
{
    return CellKeyChar(m_table.Rule(column + 1), ch);
}

QString TextTableGridRules::RefusalReason(int row, int column) const
{
    return m_table.RefusalReason(column + 1, row + 1);
}

void TextTableGridRules::ClearCells(int top, int left, int bottom, int right)
{
    m_table.ClearSelection(left + 1, top + 1, right + 1, bottom + 1);
}

bool TextTableGridRules::IsHiddenColumn(int column) const
{
    return m_table.IsHiddenColumn(column + 1);
}

void TextTableGridRules::MoveRow(int from, int to)
{
    m_table.MoveRow(from + 1, to + 1);
}
