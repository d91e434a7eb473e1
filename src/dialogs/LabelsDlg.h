#pragma once

#include "labels/LabelArticles.h"
#include "labels/LabelSettings.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TextTable;

// Where the articles of a label run can come from, besides the department
// and every named PLU.
struct LabelSources
{
    std::vector<int> selected;  // TextTable rows
    std::vector<int> shown;
    // The rows whose name, price or barcode differ from what the register
    // was last seen with; nothing when that is not known (unknownText says
    // why, and the choice is unavailable).
    std::optional<std::vector<int>> changed;
    QString unknownText;
    // Rows offered after a download (its changed articles); none when empty.
    std::vector<int> offered;
    int priceDecimals = 2;
};

// File > Print labels...: which articles, the sheet (a named layout or one
// set by hand in mm), copies, labels to skip and the currency, with a live
// preview of the first page; Print... and Save as PDF... write the labels and
// close the dialog. A choice that cannot be printed says why and offers
// neither.
class TLabelsDlg : public QDialog
{
    Q_OBJECT

public:
    TLabelsDlg(const TextTable& plu, const TextTable& departments, LabelSources sources,
               const LabelOptions& options, QWidget* parent = nullptr);

    // The choices as they stand, to keep for the next time.
    LabelOptions Options() const;
    // The labels in print order (empty places first).
    const std::vector<LabelArticle>& Sequence() const { return m_sequence; }
    // Why the choice cannot be printed; empty when it can.
    const QString& Problem() const { return m_problem; }
    // What the last print or save did ("Saved 20 labels to labels.pdf").
    const QString& Notice() const { return m_notice; }

    // Tests answer these instead of the file and print dialogs.
    void SetPdfNameChooser(std::function<QString()> chooser) { m_choosePdf = std::move(chooser); }
    void SetPrinterSetup(std::function<bool(QPrinter&)> setup) { m_setUpPrinter = std::move(setup); }

    // The buttons' work, for a given file name or set-up printer.
    bool SaveAsPdf(const QString& path);
    bool PrintOn(QPrinter& printer);

private:
    void BuildArticles(QLayout* layout);
    void BuildSheet(QLayout* layout);
    void ShowLayoutValues(const LabelLayout& layout);
    LabelLayout CurrentLayout() const;
    std::vector<int> ChosenRows() const;
    void Update();
    void SavePdfClick();
    void PrintClick();
    QString CountText() const;

    const TextTable& m_plu;
    const TextTable& m_departments;
    LabelSources m_sources;

    QButtonGroup* m_rows = nullptr;
    QRadioButton* m_offeredBtn = nullptr;
    QSpinBox* m_department = nullptr;
    QLabel* m_changedNote = nullptr;
    QComboBox* m_layout = nullptr;
    QDoubleSpinBox* m_pageWidth = nullptr;
    QDoubleSpinBox* m_pageHeight = nullptr;
    QSpinBox* m_columns = nullptr;
    QSpinBox* m_rowCount = nullptr;
    QDoubleSpinBox* m_labelWidth = nullptr;
    QDoubleSpinBox* m_labelHeight = nullptr;
    QDoubleSpinBox* m_topMargin = nullptr;
    QDoubleSpinBox* m_leftMargin = nullptr;
    QDoubleSpinBox* m_horizontalGap = nullptr;
    QDoubleSpinBox* m_verticalGap = nullptr;
    QSpinBox* m_copies = nullptr;
    QSpinBox* m_skip = nullptr;
    QLineEdit* m_currency = nullptr;
    QLabel* m_preview = nullptr;
    QLabel* m_status = nullptr;
    QPlainTextEdit* m_warnings = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_savePdf = nullptr;

    std::vector<LabelArticle> m_sequence;
    int m_labels = 0;
    QString m_problem;
    QString m_notice;
    bool m_showingLayout = false;
    std::function<QString()> m_choosePdf;
    std::function<bool(QPrinter&)> m_setUpPrinter;
};
