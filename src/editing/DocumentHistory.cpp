#include "editing/DocumentHistory.h"

#include "model/TextTable.h"

#include <QScopedValueRollback>
#include <QUndoCommand>

#include <optional>
#include <utility>

namespace {

// One recorded change of the document: the changed rows of each text table
// and, when it changed, the recycling table before and after.
class DocumentStep : public QUndoCommand
{
public:
    DocumentStep(DocumentHistory& history, const QString& text,
                 std::vector<DocumentHistory::TableChange> tables,
                 std::optional<std::pair<RecyTable, RecyTable>> recycling)
        : QUndoCommand(text),
          m_history(history),
          m_tables(std::move(tables)),
          m_recycling(std::move(recycling))
    {
    }

    void undo() override { Apply(false); }

    void redo() override
    {
        // Pushing calls redo once; the change is already in the tables then.
        if (m_pushed)
            Apply(true);
        m_pushed = true;
    }

private:
    void Apply(bool after)
    {
        for (const DocumentHistory::TableChange& change : m_tables)
            m_history.WriteRows(change, after);
        if (m_recycling)
            m_history.WriteRecycling(after ? m_recycling->second : m_recycling->first);
        emit m_history.stepApplied(Focus());
    }

    EditFocus Focus() const
    {
        for (const DocumentHistory::TableChange& change : m_tables) {
            if (change.rows.empty())
                continue;
            const DocumentHistory::RowContents& first = change.rows.front();
            int col = 1;
            for (std::size_t i = 0; i < first.before.size(); ++i) {
                if (first.before[i] != first.after[i]) {
                    col = int(i) + 1;
                    break;
                }
            }
            return {change.table, col, first.row};
        }
        return {};
    }

    DocumentHistory& m_history;
    std::vector<DocumentHistory::TableChange> m_tables;
    std::optional<std::pair<RecyTable, RecyTable>> m_recycling;
    bool m_pushed = false;
};

} // namespace

DocumentHistory::DocumentHistory(TextTable& plu, TextTable& dept, RecyTable& recy, QObject* parent)
    : QObject(parent), m_plu(plu), m_dept(dept), m_recy(recy)
{
    Reset();
}

DocumentHistory::~DocumentHistory()
{
    // The stack announces its clearing while it goes; its listeners may be gone.
    m_stack.blockSignals(true);
}

DocumentHistory::Baseline DocumentHistory::Capture(TextTable& table)
{
    Baseline baseline{&table, {}};
    baseline.cells.reserve(std::size_t((table.RowCount() - 1) * (table.ColCount() - 1)));
    for (int row = 1; row < table.RowCount(); ++row) {
        for (int col = 1; col < table.ColCount(); ++col)
            baseline.cells.push_back(table.Cell(col, row));
    }
    return baseline;
}

DocumentHistory::TableChange DocumentHistory::Compare(Baseline& baseline)
{
    TextTable& table = *baseline.table;
    const int width = table.ColCount() - 1;
    TableChange change{&table, {}};
    for (int row = 1; row < table.RowCount(); ++row) {
        const auto first = baseline.cells.begin() + std::ptrdiff_t(row - 1) * width;
        bool differs = false;
        for (int col = 1; col <= width && !differs; ++col)
            differs = first[col - 1] != table.Cell(col, row);
        if (!differs)
            continue;
        RowContents contents{row, std::vector<QString>(first, first + width), {}};
        contents.after.reserve(std::size_t(width));
        for (int col = 1; col <= width; ++col)
            contents.after.push_back(table.Cell(col, row));
        std::copy(contents.after.begin(), contents.after.end(), first);
        change.rows.push_back(std::move(contents));
    }
    return change;
}

bool DocumentHistory::Record(const QString& text, const std::function<void()>& change)
{
    if (m_recording) {
        if (change)
            change();
        return false;
    }
    {
        const QScopedValueRollback<bool> recording(m_recording, true);
        const TextTable::Batch pluBatch(m_plu);
        const TextTable::Batch deptBatch(m_dept);
        if (change)
            change();
    }
    std::vector<TableChange> tables;
    for (Baseline* baseline : {&m_pluBase, &m_deptBase}) {
        TableChange tableChange = Compare(*baseline);
        if (!tableChange.rows.empty())
            tables.push_back(std::move(tableChange));
    }
    std::optional<std::pair<RecyTable, RecyTable>> recycling;
    if (!(m_recy == m_recyBase)) {
        recycling.emplace(m_recyBase, m_recy);
        m_recyBase = m_recy;
    }
    if (tables.empty() && !recycling)
        return false;
    m_stack.push(new DocumentStep(*this, text, std::move(tables), std::move(recycling)));
    return true;
}

void DocumentHistory::Reset()
{
    m_stack.clear();
    m_pluBase = Capture(m_plu);
    m_deptBase = Capture(m_dept);
    m_recyBase = m_recy;
}

void DocumentHistory::MarkSaved()
{
    m_stack.setClean();
}

void DocumentHistory::ForgetSavedState()
{
    m_stack.resetClean();
}

bool DocumentHistory::Differs(const Baseline& baseline)
{
    const TextTable& table = *baseline.table;
    auto cell = baseline.cells.cbegin();
    for (int row = 1; row < table.RowCount(); ++row) {
        for (int col = 1; col < table.ColCount(); ++col, ++cell) {
            if (*cell != table.Cell(col, row))
                return true;
        }
    }
    return false;
}

bool DocumentHistory::Modified() const
{
    return !m_stack.isClean() || Differs(m_pluBase) || Differs(m_deptBase) || !(m_recy == m_recyBase);
}

void DocumentHistory::WriteRows(const TableChange& change, bool after)
{
    TextTable& table = *change.table;
    Baseline& baseline = &table == &m_plu ? m_pluBase : m_deptBase;
    const int width = table.ColCount() - 1;
    const TextTable::Batch batch(table);
    for (const RowContents& contents : change.rows) {
        const std::vector<QString>& cells = after ? contents.after : contents.before;
        const auto first = baseline.cells.begin() + std::ptrdiff_t(contents.row - 1) * width;
        for (int col = 1; col <= width; ++col) {
            table.SetCell(col, contents.row, cells[std::size_t(col - 1)]);
            first[col - 1] = cells[std::size_t(col - 1)];
        }
    }
}

void DocumentHistory::WriteRecycling(const RecyTable& contents)
{
    m_recy = contents;
    m_recyBase = contents;
}
