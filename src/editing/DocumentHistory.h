#pragma once

#include "model/RecyTable.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <vector>

class TextTable;

// The cell an undo or redo step changed first, in TextTable numbering (data
// cells from column 1, row 1); table is null for a step that changed only the
// recycling table.
struct EditFocus
{
    const TextTable* table = nullptr;
    int col = 0;
    int row = 0;
};

// The undo history of the document's tables (PLU, department, recycling).
//
// Every change of the tables becomes ONE undo step through Record():
//
//     history.Record(QStringLiteral("Import"), [&] { ...change any cells or rows... });
//
// Record runs the change, then compares the three tables with their contents
// after the previous step and pushes what differs: the before/after contents
// of every changed row of the PLU and department tables, and the recycling
// table when it changed. A change that changes nothing pushes nothing. Edits
// written straight into the tables since the previous step (a cell editor
// writes each keystroke into its cell) become part of the next recorded step,
// so committing a cell is Record(text) with no change function.
//
// Undo and redo write the stored rows back inside one TextTable::Batch (one
// dataChanged per table) and report the first changed cell through
// stepApplied. The document (EditedDocument) calls Reset() whenever it puts
// other tables in place and MarkSaved() when it has saved them. The stack's
// clean state is the saved state: Modified() is "not at the clean index", or
// edits not yet recorded (a cell being typed in) are in the tables.
class DocumentHistory : public QObject
{
    Q_OBJECT

public:
    DocumentHistory(TextTable& plu, TextTable& dept, RecyTable& recy, QObject* parent = nullptr);
    ~DocumentHistory() override;

    QUndoStack& Stack() { return m_stack; }
    const QUndoStack& Stack() const { return m_stack; }

    // Runs change (when given) and records everything that differs from the
    // previous step as one step named text. True when a step was pushed.
    // Records made inside a change join the outer step.
    bool Record(const QString& text, const std::function<void()>& change = {});

    // An empty history starting from the tables as they are now, clean.
    void Reset();
    // The tables as they are now are what is saved on disk.
    void MarkSaved();
    // The tables as they are now are saved nowhere (tables from the register).
    void ForgetSavedState();
    // The tables differ from what was last saved: the stack is not at its
    // clean index, or edits not recorded yet are in the tables.
    bool Modified() const;

    // Used by the steps: writes rows (before or after contents) back.
    struct RowContents
    {
        int row = 0;                 // TextTable row, from 1
        std::vector<QString> before; // data cells, columns 1..ColCount-1
        std::vector<QString> after;
    };
    struct TableChange
    {
        TextTable* table = nullptr;
        std::vector<RowContents> rows;
    };
    void WriteRows(const TableChange& change, bool after);
    void WriteRecycling(const RecyTable& contents);

signals:
    // An undo or redo changed the tables; focus is its first changed cell.
    void stepApplied(const EditFocus& focus);

private:
    struct Baseline
    {
        TextTable* table = nullptr;
        std::vector<QString> cells; // data cells, row by row
    };
    static Baseline Capture(TextTable& table);
    static TableChange Compare(Baseline& baseline);
    static bool Differs(const Baseline& baseline);

    TextTable& m_plu;
    TextTable& m_dept;
    RecyTable& m_recy;
    QUndoStack m_stack;
    Baseline m_pluBase;
    Baseline m_deptBase;
    RecyTable m_recyBase;
    bool m_recording = false;
};
Q_DECLARE_METATYPE(EditFocus)
