// Copy, cut and paste of cell blocks as TAB-separated lines, the form
// spreadsheets put on the clipboard and take from it.
#include "widgets/TableGrid.h"

#include "model/Language.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>

#include <algorithm>

namespace {

// Lines of TAB-separated cells; the line break after the last line, which
// spreadsheets add, ends the block rather than adding an empty row.
QList<QStringList> SplitBlock(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    QList<QStringList> rows;
    if (text.isEmpty())
        return rows;
    for (const QString& line : text.split(QLatin1Char('\n')))
        rows << line.split(QLatin1Char('\t'));
    return rows;
}

} // namespace

QString TableGrid::SelectionText() const
{
    int top = 0, left = 0, bottom = 0, right = 0;
    if (!model() || !SelectedRect(top, left, bottom, right))
        return {};
    QString text;
    for (const int row : SelectedRows()) {
        QStringList cells;
        for (int column = left; column <= right; ++column) {
            if (!m_rules || !m_rules->IsHiddenColumn(column))
                cells << model()->index(row, column).data(Qt::EditRole).toString();
        }
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

bool TableGrid::CopySelection()
{
    if (!CommitCurrentCell())
        return false;
    const QString text = SelectionText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
    return true;
}

bool TableGrid::CutSelection()
{
    if (!CopySelection())
        return false;
    ClearSelectedCells();
    return true;
}

std::optional<QString> TableGrid::PastedCellText(const QModelIndex& index, const QString& value,
                                                 QString& reason) const
{
    // The same judgement as a typed cell gets when the cursor leaves it.
    const CellJudgement judged = m_rules->JudgeText(index.row(), index.column(), value);
    if (!judged.Taken()) {
        reason = judged.refusal;
        return std::nullopt;
    }
    return judged.text;
}

std::vector<TableGrid::Refusal> TableGrid::PasteText(const QString& text)
{
    const QList<QStringList> block = SplitBlock(text);
    if (!model() || !m_rules || block.isEmpty() || !currentIndex().isValid()
        || !CommitCurrentCell())
        return {};
    const QModelIndex start = currentIndex();
    qsizetype width = 0;
    for (const QStringList& line : block)
        width = std::max(width, line.size());
    const QList<int> columns = PasteColumns(start.column(), width);
    const std::vector<int> rows = ShownRows(start.row(), int(block.size()));
    if (width > columns.size() || qsizetype(rows.size()) < block.size())
        return {{start.row(), QString(),
                 Tr("TableGrid", "PasteDoesNotFit",
                    "The block of %1 rows and %2 columns does not fit here: from this cell on "
                    "there are %3 rows and %4 columns.")
                     .arg(QLocale().toString(block.size()), QLocale().toString(width),
                          QLocale().toString(qsizetype(rows.size())),
                          QLocale().toString(PasteColumns(start.column(), 0).size()))}};
    std::vector<Refusal> refusals;
    RunEdit(Tr("DocumentHistory", "Paste", "Paste"), [&] {
        QList<QPair<QModelIndex, QString>> earlier;
        for (int i = 0; i < block.size(); ++i) {
            const int row = rows[std::size_t(i)];
            for (int j = 0; j < block[i].size() && j < columns.size(); ++j) {
                const QModelIndex index = model()->index(row, columns[j]);
                const QString title = model()->headerData(columns[j], Qt::Horizontal).toString();
                QString reason;
                const std::optional<QString> typed = PastedCellText(index, block[i][j], reason);
                if (!typed) {
                    refusals.push_back({row, title, reason});
                    continue;
                }
                earlier << qMakePair(index, index.data(Qt::EditRole).toString());
                model()->setData(index, *typed, Qt::EditRole);
                if (!m_rules->ValidateCell(row, columns[j]))
                    refusals.push_back({row, title, Tr("TableGrid", "NotValidValue", "not a valid value")});
            }
        }
        if (refusals.empty())
            return;
        for (auto it = earlier.crbegin(); it != earlier.crend(); ++it)
            model()->setData(it->first, it->second, Qt::EditRole);
    });
    return refusals;
}

QList<int> TableGrid::PasteColumns(int column, qsizetype width) const
{
    QList<int> visible;
    QList<int> every;
    for (int c = column; c < model()->columnCount(); ++c) {
        every << c;
        if (!m_rules->IsHiddenColumn(c))
            visible << c;
    }
    // Wider than the grid shows: laid out as the table's columns, as an
    // exported sheet is.
    return width <= visible.size() ? visible : every;
}

std::vector<TableGrid::Refusal> TableGrid::PasteClipboard()
{
    return PasteText(QGuiApplication::clipboard()->text());
}
