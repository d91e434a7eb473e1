#include "dialogs/LabelsDlg.h"

#include "files/FileError.h"
#include "labels/LabelPainter.h"
#include "labels/LabelPdf.h"
#include "model/Columns.h"
#include "model/CountWords.h"
#include "model/Language.h"
#include "model/RowScope.h"
#include "model/TextTable.h"
#include "widgets/DialogParts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The preview's room on the screen.
const QSize kPreviewBox(330, 430);
constexpr double kLargestPage = 1000.0; // mm
constexpr const char* kTexts = "LabelsDlg";

QDoubleSpinBox* Millimetres(const char* name, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDecimals(1);
    box->setRange(0.0, kLargestPage);
    box->setSuffix(QStringLiteral(" mm"));
    return box;
}

// A form row of two fields side by side; the label's mnemonic goes to the first.
void AddPair(QFormLayout* form, const char* name, const QString& text, QWidget* first, QWidget* second)
{
    auto* row = new QHBoxLayout;
    row->addWidget(first);
    row->addWidget(second);
    form->addRow(NamedLabel(QString::fromLatin1(name), text, form->parentWidget(), first), row);
}

QString LabelCount(int count)
{
    return CountWords(kTexts, "Labels", count, "1 label", "%1 labels", QLocale());
}

} // namespace

TLabelsDlg::TLabelsDlg(const TextTable& plu, const TextTable& departments, LabelSources sources,
                       const LabelOptions& options, QWidget* parent)
    : QDialog(parent), m_plu(plu), m_departments(departments), m_sources(std::move(sources))
{
    setObjectName(QStringLiteral("LabelsDlg"));
    setWindowTitle(Tr(kTexts, "Caption", "Print labels"));

    auto* choices = new QVBoxLayout;
    BuildArticles(choices);
    BuildSheet(choices);
    m_status = NamedLabel(QStringLiteral("StatusLabel"), QString(), this);
    m_status->setWordWrap(true);
    choices->addWidget(m_status);
    m_warnings = new QPlainTextEdit(this);
    m_warnings->setObjectName(QStringLiteral("WarningsText"));
    m_warnings->setReadOnly(true);
    m_warnings->setMaximumHeight(70);
    choices->addWidget(m_warnings);

    m_preview = NamedLabel(QStringLiteral("PreviewLabel"), QString(), this);
    m_preview->setMinimumSize(kPreviewBox);
    m_preview->setAlignment(Qt::AlignCenter);

    auto* top = new QHBoxLayout;
    top->addLayout(choices);
    top->addWidget(m_preview, 1);

    m_print =
        NamedButton(QStringLiteral("PrintBtn"), Tr(kTexts, "PrintBtn.Caption", "&Print..."), this);
    m_savePdf = NamedButton(QStringLiteral("SavePdfBtn"),
                            Tr(kTexts, "SavePdfBtn.Caption", "Save as P&DF..."), this);
    QPushButton* close =
        NamedButton(QStringLiteral("CloseBtn"), Tr(kTexts, "CloseBtn.Caption", "&Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_print);
    buttons->addWidget(m_savePdf);
    buttons->addWidget(close);
    connect(m_print, &QPushButton::clicked, this, &TLabelsDlg::PrintClick);
    connect(m_savePdf, &QPushButton::clicked, this, &TLabelsDlg::SavePdfClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(buttons);

    // The last choices; a choice that is not available now falls back to all.
    m_department->setValue(options.department);
    const bool changedKnown = m_sources.changed.has_value();
    LabelRows rows = options.rows;
    if (!m_sources.offered.empty())
        m_offeredBtn->setChecked(true);
    else {
        if (rows == LabelRows::Changed && !changedKnown)
            rows = LabelRows::All;
        m_rows->button(int(rows))->setChecked(true);
    }
    const int named = m_layout->findData(options.layout.name);
    ShowLayoutValues(options.layout);
    m_layout->setCurrentIndex(named >= 0 ? named : m_layout->count() - 1);
    m_copies->setValue(options.copies);
    m_skip->setValue(options.skip);
    m_currency->setText(options.currency);

    m_choosePdf = [this] {
        return QFileDialog::getSaveFileName(
            this, Tr(kTexts, "SavePdfCaption", "Save labels as PDF"), QStringLiteral("labels.pdf"),
            Tr(kTexts, "PdfFilter", "PDF files (*.pdf)"));
    };
    m_setUpPrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    Update();
}

void TLabelsDlg::BuildArticles(QLayout* layout)
{
    QGroupBox* group = NamedGroup(QStringLiteral("ArticlesGroup"),
                                  Tr(kTexts, "ArticlesGroup.Caption", "Articles"), this);
    auto* grid = new QGridLayout(group);
    m_rows = new QButtonGroup(this);
    const auto add = [&](LabelRows rows, const char* name, const QString& text, int line) {
        auto* button = new QRadioButton(text, group);
        button->setObjectName(QString::fromLatin1(name));
        m_rows->addButton(button, int(rows));
        grid->addWidget(button, line, 0);
        return button;
    };
    add(LabelRows::Selected, "SelectedRowsBtn",
        Tr(kTexts, "SelectedRowsBtn.Caption", "&Selected rows"), 0);
    add(LabelRows::Shown, "ShownRowsBtn",
        Tr(kTexts, "ShownRowsBtn.Caption", "Rows shown by the &filter"), 1);
    add(LabelRows::Department, "DepartmentBtn", Tr(kTexts, "DepartmentBtn.Caption", "Depar&tment"),
        2);
    add(LabelRows::All, "AllRowsBtn", Tr(kTexts, "AllRowsBtn.Caption", "Every &named PLU"), 3);
    QRadioButton* changed =
        add(LabelRows::Changed, "ChangedRowsBtn",
            Tr(kTexts, "ChangedRowsBtn.Caption", "C&hanged since the register last saw them"), 4);
    m_department = new QSpinBox(group);
    m_department->setObjectName(QStringLiteral("DepartmentEdit"));
    m_department->setRange(1, kDeptmentRowCount - 1);
    grid->addWidget(m_department, 2, 1);
    m_changedNote = NamedLabel(QStringLiteral("ChangedNote"), QString(), group);
    m_changedNote->setWordWrap(true);
    grid->addWidget(m_changedNote, 5, 0, 1, 2);
    if (!m_sources.changed) {
        changed->setEnabled(false);
        m_changedNote->setText(m_sources.unknownText);
    }
    // The offered rows have no choice of their own in the settings.
    const auto offered = qint64(m_sources.offered.size());
    m_offeredBtn = new QRadioButton(
        offered == 1 ? Tr(kTexts, "OfferedRowsBtn.One", "The changed article &just downloaded")
                     : Tr(kTexts, "OfferedRowsBtn.Many", "The %1 changed articles &just downloaded")
                           .arg(QLocale().toString(offered)),
        group);
    m_offeredBtn->setObjectName(QStringLiteral("OfferedRowsBtn"));
    m_offeredBtn->setVisible(!m_sources.offered.empty());
    m_rows->addButton(m_offeredBtn, -2);
    grid->addWidget(m_offeredBtn, 6, 0, 1, 2);
    connect(m_rows, &QButtonGroup::idClicked, this, &TLabelsDlg::Update);
    connect(m_department, &QSpinBox::valueChanged, this, &TLabelsDlg::Update);
    layout->addWidget(group);
}

void TLabelsDlg::BuildSheet(QLayout* layout)
{
    QGroupBox* group =
        NamedGroup(QStringLiteral("SheetGroup"), Tr(kTexts, "SheetGroup.Caption", "Sheet"), this);
    auto* form = new QFormLayout(group);
    m_layout = new QComboBox(group);
    m_layout->setObjectName(QStringLiteral("LayoutBox"));
    for (const LabelLayout& named : NamedLayouts())
        m_layout->addItem(LayoutDescription(named), named.name);
    m_layout->addItem(Tr(kTexts, "LayoutBox.Custom", "Custom (sizes below)"),
                      QStringLiteral("custom"));
    form->addRow(NamedLabel(QStringLiteral("LayoutLabel"),
                            Tr(kTexts, "LayoutLabel.Caption", "&Layout:"), group, m_layout),
                 m_layout);

    m_pageWidth = Millimetres("PageWidthEdit", group);
    m_pageHeight = Millimetres("PageHeightEdit", group);
    AddPair(form, "PageLabel", Tr(kTexts, "PageLabel.Caption", "Pa&ge:"), m_pageWidth,
            m_pageHeight);
    m_columns = new QSpinBox(group);
    m_columns->setObjectName(QStringLiteral("ColumnsEdit"));
    m_rowCount = new QSpinBox(group);
    m_rowCount->setObjectName(QStringLiteral("RowsEdit"));
    for (QSpinBox* box : {m_columns, m_rowCount})
        box->setRange(0, 100);
    AddPair(form, "GridLabel", Tr(kTexts, "GridLabel.Caption", "G&rid (columns, rows):"), m_columns,
            m_rowCount);
    m_labelWidth = Millimetres("LabelWidthEdit", group);
    m_labelHeight = Millimetres("LabelHeightEdit", group);
    AddPair(form, "LabelSizeLabel", Tr(kTexts, "LabelSizeLabel.Caption", "Lab&el:"), m_labelWidth,
            m_labelHeight);
    m_topMargin = Millimetres("TopMarginEdit", group);
    m_leftMargin = Millimetres("LeftMarginEdit", group);
    AddPair(form, "MarginsLabel", Tr(kTexts, "MarginsLabel.Caption", "&Margins (top, left):"),
            m_topMargin, m_leftMargin);
    m_horizontalGap = Millimetres("HorizontalGapEdit", group);
    m_verticalGap = Millimetres("VerticalGapEdit", group);
    AddPair(form, "GapsLabel", Tr(kTexts, "GapsLabel.Caption", "Gaps (&across, down):"),
            m_horizontalGap, m_verticalGap);

    m_copies = new QSpinBox(group);
    m_copies->setObjectName(QStringLiteral("CopiesEdit"));
    m_copies->setRange(1, kMaxCopies);
    form->addRow(NamedLabel(QStringLiteral("CopiesLabel"),
                            Tr(kTexts, "CopiesLabel.Caption", "C&opies of each:"), group, m_copies),
                 m_copies);
    m_skip = new QSpinBox(group);
    m_skip->setObjectName(QStringLiteral("SkipEdit"));
    form->addRow(NamedLabel(QStringLiteral("SkipLabel"),
                            Tr(kTexts, "SkipLabel.Caption", "S&kip used labels:"), group, m_skip),
                 m_skip);
    m_currency = new QLineEdit(group);
    m_currency->setObjectName(QStringLiteral("CurrencyEdit"));
    m_currency->setMaxLength(8);
    form->addRow(NamedLabel(QStringLiteral("CurrencyLabel"),
                            Tr(kTexts, "CurrencyLabel.Caption", "C&urrency:"), group, m_currency),
                 m_currency);

    connect(m_layout, &QComboBox::currentIndexChanged, this, [this] {
        if (const auto named = NamedLayout(m_layout->currentData().toString()))
            ShowLayoutValues(*named);
        Update();
    });
    for (QDoubleSpinBox* box : {m_pageWidth, m_pageHeight, m_labelWidth, m_labelHeight, m_topMargin, m_leftMargin,
                                m_horizontalGap, m_verticalGap})
        connect(box, &QDoubleSpinBox::valueChanged, this, &TLabelsDlg::Update);
    for (QSpinBox* box : {m_columns, m_rowCount, m_copies, m_skip})
        connect(box, &QSpinBox::valueChanged, this, &TLabelsDlg::Update);
    connect(m_currency, &QLineEdit::textChanged, this, &TLabelsDlg::Update);
    layout->addWidget(group);
}

void TLabelsDlg::ShowLayoutValues(const LabelLayout& layout)
{
    // One redraw for the whole layout, not one per field.
    m_showingLayout = true;
    m_pageWidth->setValue(layout.page.width());
    m_pageHeight->setValue(layout.page.height());
    m_columns->setValue(layout.columns);
    m_rowCount->setValue(layout.rows);
    m_labelWidth->setValue(layout.label.width());
    m_labelHeight->setValue(layout.label.height());
    m_topMargin->setValue(layout.topMargin);
    m_leftMargin->setValue(layout.leftMargin);
    m_horizontalGap->setValue(layout.horizontalGap);
    m_verticalGap->setValue(layout.verticalGap);
    m_showingLayout = false;
}

LabelLayout TLabelsDlg::CurrentLayout() const
{
    if (const auto named = NamedLayout(m_layout->currentData().toString()))
        return *named;
    return CustomLayout({m_pageWidth->value(), m_pageHeight->value()}, m_columns->value(), m_rowCount->value(),
                        {m_labelWidth->value(), m_labelHeight->value()}, m_topMargin->value(), m_leftMargin->value(),
                        m_horizontalGap->value(), m_verticalGap->value());
}

LabelOptions TLabelsDlg::Options() const
{
    LabelOptions options;
    options.layout = CurrentLayout();
    options.copies = m_copies->value();
    options.skip = m_skip->value();
    options.currency = m_currency->text();
    options.department = m_department->value();
    const int rows = m_rows->checkedId();
    options.rows = rows >= 0 ? LabelRows(rows) : LabelRows::All;
    return options;
}

std::vector<int> TLabelsDlg::ChosenRows() const
{
    switch (m_rows->checkedId()) {
    case int(LabelRows::Selected):
        return ScopeRows(m_plu, RowScope::Selected, m_sources.selected, {}, 0);
    case int(LabelRows::Shown):
        return ScopeRows(m_plu, RowScope::Shown, {}, m_sources.shown, 0);
    case int(LabelRows::Department):
        return ScopeRows(m_plu, RowScope::Department, {}, {}, m_department->value());
    case int(LabelRows::All):
        return ScopeRows(m_plu, RowScope::All, {}, {}, 0);
    case int(LabelRows::Changed):
        return m_sources.changed.value_or(std::vector<int>());
    default:
        return ScopeRows(m_plu, RowScope::Selected, m_sources.offered, {}, 0);
    }
}

void TLabelsDlg::Update()
{
    if (m_showingLayout)
        return;
    const bool custom = !NamedLayout(m_layout->currentData().toString());
    for (QWidget* field : std::initializer_list<QWidget*>{m_pageWidth, m_pageHeight, m_columns, m_rowCount,
                                                          m_labelWidth, m_labelHeight, m_topMargin, m_leftMargin,
                                                          m_horizontalGap, m_verticalGap})
        field->setEnabled(custom);
    const LabelOptions options = Options();
    const std::vector<LabelArticle> articles =
        LabelArticles(m_plu, m_departments, ChosenRows(), m_sources.priceDecimals, options.currency);
    m_problem = LayoutProblem(options.layout);
    if (m_problem.isEmpty())
        m_skip->setMaximum(std::max(0, options.layout.LabelsPerPage() - 1));
    if (m_problem.isEmpty())
        m_problem = CountProblem(options.layout, options.copies, m_skip->value());
    if (m_problem.isEmpty() && articles.empty())
        m_problem = Tr(kTexts, "NoArticles", "No article with a name is chosen.");
    m_labels = int(articles.size()) * options.copies;
    m_sequence = m_problem.isEmpty() ? LabelSequence(articles, options.copies, m_skip->value())
                                     : std::vector<LabelArticle>();
    m_status->setText(m_problem.isEmpty() ? CountText() : m_problem);
    m_warnings->setPlainText(BarcodeWarnings(articles).join(u'\n'));
    m_preview->setPixmap(QPixmap::fromImage(LabelPagePreview(options.layout, m_sequence, kPreviewBox)));
    m_print->setEnabled(m_problem.isEmpty());
    m_savePdf->setEnabled(m_problem.isEmpty());
}

QString TLabelsDlg::CountText() const
{
    const int pages = PageCount(m_sequence.size(), CurrentLayout().LabelsPerPage());
    return Tr(kTexts, "LabelsOnPages", "%1 on %2.")
        .arg(LabelCount(m_labels),
             CountWords(kTexts, "Pages", pages, "1 page", "%1 pages", QLocale()));
}

bool TLabelsDlg::SaveAsPdf(const QString& path)
{
    if (!m_problem.isEmpty())
        return false;
    QString problem;
    try {
        problem = WriteLabelsPdf(path, CurrentLayout(), m_sequence);
    } catch (const FileError& error) {
        problem = error.Message();
    }
    if (!problem.isEmpty()) {
        m_status->setText(Tr(kTexts, "NotSaved", "The labels were not saved: %1").arg(problem));
        return false;
    }
    m_notice =
        Tr(kTexts, "Saved", "Saved %1 to %2").arg(LabelCount(m_labels), QFileInfo(path).fileName());
    return true;
}

bool TLabelsDlg::PrintOn(QPrinter& printer)
{
    if (!m_problem.isEmpty())
        return false;
    // The labels are placed on the paper itself, not inside the printer's margins.
    printer.setFullPage(true);
    if (const QString problem = PaintLabelPages(printer, CurrentLayout(), m_sequence); !problem.isEmpty()) {
        m_status->setText(Tr(kTexts, "NotPrinted", "The labels were not printed: %1").arg(problem));
        return false;
    }
    m_notice = Tr(kTexts, "Printed", "Printed %1").arg(LabelCount(m_labels));
    return true;
}

void TLabelsDlg::SavePdfClick()
{
    QString path = m_choosePdf ? m_choosePdf() : QString();
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    if (SaveAsPdf(path))
        accept();
}

void TLabelsDlg::PrintClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!m_setUpPrinter || !m_setUpPrinter(printer))
        return;
    if (PrintOn(printer))
        accept();
}
