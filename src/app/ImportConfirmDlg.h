#pragma once

#include "exchange/TableImport.h"

#include <QDialog>

class QTableWidget;

// File > Import...'s question before anything changes: what was read, how
// many rows and cells change, and the first changed rows' cells before and
// after. OK imports, Cancel leaves the table alone.
class TImportConfirmDlg : public QDialog
{
    Q_OBJECT
public:
    // The rows whose cells are listed.
    static constexpr int kShownRows = 10;

    // `fileName` is the sheet's, which the summary names; `table` is the table
    // the plan changes.
    TImportConfirmDlg(const QString& fileName, const TextTable& table, const ImportPlan& plan,
                      QWidget* parent = nullptr);

    // "plu.csv: 3 lines read; in the PLU table 2 rows and 5 cells change."
    static QString Summary(const QString& fileName, TableKind table, const ImportPlan& plan);

    QTableWidget& Changes() { return *m_changes; }

private:
    QTableWidget* m_changes;
};
