#include "exchange/TableImport.h"
#include "model/CountWords.h"
#include "model/Language.h"

#include "exchange/SheetCell.h"
#include "exchange/SheetColumns.h"
#include "model/Numbers.h"

#include <QHash>

namespace {

constexpr int kNoColumn = -1;

constexpr const char* kTexts = "TableImport";

class ImportPlanner
{
public:
    ImportPlanner(const TextTable& table, ImportPlan& plan) : table_(table), plan_(plan) {}

    void Plan(const Sheet& sheet)
    {
        if (sheet.rows.isEmpty()) {
            plan_.error = Tr(kTexts, "EmptySheet", "The sheet is empty.");
            return;
        }
        const SheetRow& header = sheet.rows.front();
        if (!ReadHeader(header))
            return;
        plan_.sheetRows = static_cast<int>(sheet.rows.size() - 1);
        for (qsizetype i = 1; i < sheet.rows.size(); ++i)
            PlanRow(sheet.rows[i]);
    }

private:
    bool ReadHeader(const SheetRow& header)
    {
        const TableKind kind = table_.Kind();
        for (qsizetype i = 0; i < header.cells.size(); ++i) {
            const QString title = header.cells[i].trimmed();
            int column = kNoColumn;
            if (!title.isEmpty()) {
                const auto found = ColumnOfSheetTitle(kind, title);
                if (!found) {
                    plan_.error = Tr(kTexts, "UnknownColumn",
                                     "Line %1, column %2: \"%3\" is not a column of the %4 table.")
                                      .arg(header.line)
                                      .arg(SheetColumnLetters(static_cast<int>(i + 1)), title,
                                           SheetTableName(kind));
                    return false;
                }
                if (sheetColumns_.contains(*found)) {
                    plan_.error =
                        Tr(kTexts, "ColumnTwice", "Line %1: the column \"%2\" appears twice.")
                            .arg(header.line)
                            .arg(title);
                    return false;
                }
                column = *found;
            }
            sheetColumns_.append(column);
            titles_.append(title);
        }
        numberIndex_ = sheetColumns_.indexOf(0);
        if (numberIndex_ < 0) {
            plan_.error = Tr(kTexts, "NoNumberColumn",
                             "Line %1: the sheet has no \"%2\" column, which names the rows.")
                              .arg(header.line)
                              .arg(SheetColumnTitle(kind, 0));
            return false;
        }
        return true;
    }

    void Refuse(int line, qsizetype index, const QString& reason)
    {
        const QString column = index < titles_.size() && !titles_[index].isEmpty()
                                   ? titles_[index]
                                   : Tr(kTexts, "ColumnLetters", "column %1")
                                         .arg(SheetColumnLetters(static_cast<int>(index + 1)));
        if (plan_.refusals.size() < ImportPlan::kListedRefusals)
            plan_.refusals.append(
                Tr(kTexts, "Refusal", "Line %1, %2: %3.").arg(line).arg(column, reason));
        ++plan_.refusalCount;
    }

    int RowOf(const SheetRow& row)
    {
        if (const auto refusal = row.refusals.constFind(numberIndex_); refusal != row.refusals.cend()) {
            Refuse(row.line, numberIndex_, *refusal);
            return 0;
        }
        const QString text = numberIndex_ < row.cells.size() ? row.cells[numberIndex_].trimmed() : QString();
        const auto number = ParseWhole(text);
        const int last = table_.RowCount() - 1;
        if (!number || *number < 1 || *number > last) {
            Refuse(
                row.line, numberIndex_,
                Tr(kTexts, "BadNumber", "\"%1\" is not a number from 1 to %2").arg(text).arg(last));
            return 0;
        }
        const int tableRow = static_cast<int>(*number);
        const auto earlier = linesOfRows_.constFind(tableRow);
        if (earlier != linesOfRows_.cend()) {
            Refuse(
                row.line, numberIndex_,
                Tr(kTexts, "NumberTwice", "%1 is already on line %2").arg(tableRow).arg(*earlier));
            return 0;
        }
        linesOfRows_.insert(tableRow, row.line);
        return tableRow;
    }

    void PlanRow(const SheetRow& row)
    {
        const int tableRow = RowOf(row);
        bool rowChanged = false;
        for (qsizetype i = 0; i < sheetColumns_.size() || i < row.cells.size(); ++i) {
            const QString cell = i < row.cells.size() ? row.cells[i] : QString();
            const int column = i < sheetColumns_.size() ? sheetColumns_[i] : kNoColumn;
            if (column == kNoColumn) {
                if (!cell.trimmed().isEmpty())
                    Refuse(row.line, i, Tr(kTexts, "NoTitle", "the column has no title"));
                continue;
            }
            if (column == 0)
                continue;
            if (const auto refusal = row.refusals.constFind(i); refusal != row.refusals.cend()) {
                Refuse(row.line, i, *refusal);
                continue;
            }
            // The sheet holds nothing here: the field stays as it is.
            if (cell.trimmed().isEmpty())
                continue;
            const SheetCellText taken = ImportSheetCell(table_, column, cell);
            if (!taken.Taken()) {
                Refuse(row.line, i, taken.refusal);
                continue;
            }
            const SheetColumn layout = SheetColumnOf(table_.Kind(), column);
            const QString text = SheetCellForm(layout, taken.text);
            if (tableRow > 0 && text != SheetCellForm(layout, table_.Cell(column, tableRow))) {
                plan_.changes.append(CellChange{column, tableRow, text});
                rowChanged = true;
            }
        }
        plan_.changedRows += rowChanged ? 1 : 0;
    }

    const TextTable& table_;
    ImportPlan& plan_;
    QList<int> sheetColumns_;   // table column of each sheet column, kNoColumn when untitled
    QStringList titles_;
    qsizetype numberIndex_ = -1;
    QHash<int, int> linesOfRows_;
};

} // namespace

QString ImportPlan::Summary() const
{
    if (changes.isEmpty())
        return Tr(kTexts, "NothingChanges", "Nothing changes.");
    return Tr(kTexts, "Changes", "%1 and %2 change.")
        .arg(CountWords(kTexts, "Rows", changedRows, "1 row", "%1 rows"),
             CountWords(kTexts, "Cells", static_cast<int>(changes.size()), "1 cell", "%1 cells"));
}

QList<CellPreview> PreviewImport(const TextTable& table, const ImportPlan& plan, int rows)
{
    QList<CellPreview> cells;
    int shownRows = 0;
    int lastRow = -1;
    for (const CellChange& change : plan.changes) {
        if (change.row != lastRow) {
            if (shownRows == rows)
                break;
            ++shownRows;
            lastRow = change.row;
        }
        cells.append({change.row, change.column, table.Cell(change.column, change.row), change.text});
    }
    return cells;
}

QString ImportPlan::Refusal() const
{
    if (!error.isEmpty())
        return error;
    QString text =
        CountWords(kTexts, "Refused", refusalCount, "1 cell is refused; nothing was changed:",
                   "%1 cells are refused; nothing was changed:") +
        u'\n';
    text += refusals.join(u'\n');
    if (refusalCount > refusals.size())
        text += u'\n' + Tr(kTexts, "More", "... and %1 more.").arg(refusalCount - refusals.size());
    return text;
}

ImportPlan PlanImport(const TextTable& table, const Sheet& sheet)
{
    ImportPlan plan;
    ImportPlanner(table, plan).Plan(sheet);
    if (!plan.Accepted())
        plan.changes.clear();
    return plan;
}

void ApplyImport(TextTable& table, const ImportPlan& plan)
{
    if (!plan.Accepted())
        return;
    const TextTable::Batch batch(table);
    for (const CellChange& change : plan.changes)
        table.SetCell(change.column, change.row, change.text);
}
