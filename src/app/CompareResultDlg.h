#pragma once

#include "model/Language.h"
#include "transfer/Compare.h"

#include <QDialog>

class QPushButton;

// The differences of a compare, a verify or two history entries: one line per
// differing field (table, number, field, both values) in DifferencesGrid,
// the counts per table in CountsLabel, and optionally a button (OpenAsNewBtn)
// that ends the dialog with kOpenAsNew.
class TCompareResultDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kOpenAsNew = 2;

    struct Sides
    {
        QString left = Tr("CompareResultDlg", "DocumentSide", "Document");
        QString right = Tr("CompareResultDlg", "RegisterSide", "Register");
        // The right side inside a sentence, where English writes it in small letters.
        QString rightInSentence = Tr("CompareResultDlg", "RegisterInSentence", "register");
    };

    TCompareResultDlg(const QString& title, const Differences& differences, unsigned tables, const Sides& sides,
                      const QString& openText, QWidget* parent);
};
