#pragma once

#include "exchange/Sheet.h"
#include "model/TextTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// A sheet's changes to the PLU or department table, judged whole before any of
// them is made. The first sheet line holds the column titles; "NO." names the
// row of every other line. Rows and columns the sheet does not name, and
// cells it leaves empty, keep their texts; a number equal to the cell's is no
// change ("12" for a Quantity of "12.000"). One refused cell refuses the
// whole sheet.
struct CellChange
{
    int column = 0;
    int row = 0;
    QString text;
};

struct ImportPlan
{
    static constexpr int kListedRefusals = 20;

    QList<CellChange> changes;   // cells whose text differs, row by row
    int changedRows = 0;
    int sheetRows = 0;           // data lines of the sheet
    QString error;               // the sheet as a whole refused
    QStringList refusals;        // "Line 5, Unit price: ...", the first kListedRefusals
    int refusalCount = 0;

    bool Accepted() const { return error.isEmpty() && refusalCount == 0; }
    // "3 rows and 5 cells change." (or "Nothing changes.")
    QString Summary() const;
    // Why the sheet is refused: the error, or the refused cells listed with
    // the count of those not listed.
    QString Refusal() const;
};

ImportPlan PlanImport(const TextTable& table, const Sheet& sheet);

// One cell an import would change: where, and its text before and after.
struct CellPreview
{
    int row = 0;
    int column = 0;
    QString before;
    QString after;
};

// The cells of the first `rows` rows the plan changes, in the plan's order,
// with the table's texts as they are now.
QList<CellPreview> PreviewImport(const TextTable& table, const ImportPlan& plan, int rows);

// Makes every change of an accepted plan, as one update of the table's views.
void ApplyImport(TextTable& table, const ImportPlan& plan);
