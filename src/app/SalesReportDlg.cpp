#include "app/SalesReportDlg.h"

#include "app/LanguageFile.h"
#include "files/FileError.h"
#include "history/HistoryStore.h"
#include "model/Language.h"
#include "model/Numbers.h"
#include "reports/ReportFiles.h"
#include "reports/ReportPage.h"
#include "reports/SalesPeriod.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <memory>
#include <set>

namespace {

constexpr const char* kTexts = "SalesReportDlg";
constexpr int kCurrentFigures = 0;   // RegisterBox's first entry
constexpr std::size_t kUprightLabels = 12;  // more bars get slanted labels

QString ReadingText(const SalesReading& reading)
{
    return QStringLiteral("%1  %2").arg(reading.id).arg(
        reading.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

// The first day of the quick choice's period.
QDate FirstDay(TSalesReportDlg::Quick quick)
{
    const QDate today = QDate::currentDate();
    switch (quick) {
    case TSalesReportDlg::Quick::Today:
        return today;
    case TSalesReportDlg::Quick::ThisWeek:
        return today.addDays(1 - today.dayOfWeek());
    case TSalesReportDlg::Quick::ThisMonth:
        return QDate(today.year(), today.month(), 1);
    default:
        return {};
    }
}

// A bar's height on the chart. The chart takes binary numbers; every figure
// shown as text stays decimal.
qreal BarHeight(const Decimal& value)
{
    return QStringView(value.Text(0, QLatin1Char('.'))).toDouble();
}

// A figure of the report as the window's locale writes it; the report itself
// keeps the separator of the table files, which its CSV and XLSX files use.
QString ShownFigure(const QString& figure)
{
    return QString(figure).replace(DecimalSeparator(), QLocale().decimalPoint());
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TSalesReportDlg::TSalesReportDlg(HistoryStore& store, const TextTable& plu, const TextTable& departments,
                                 Hooks hooks, QWidget* parent)
    : QDialog(parent), m_store(store), m_plu(plu), m_departments(departments), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("SalesReportDlg"));
    setWindowTitle(QStringLiteral("Sales"));

    m_register = new QComboBox(this);
    m_register->setObjectName(QStringLiteral("RegisterBox"));
    m_period = new QComboBox(this);
    m_period->setObjectName(QStringLiteral("PeriodBox"));
    // In the order of Quick.
    m_period->addItems({Tr(kTexts, "PeriodBox.LastReading", "Last reading"),
                        Tr(kTexts, "PeriodBox.Today", "Today"),
                        Tr(kTexts, "PeriodBox.ThisWeek", "This week"),
                        Tr(kTexts, "PeriodBox.ThisMonth", "This month"),
                        Tr(kTexts, "PeriodBox.Everything", "Everything"),
                        Tr(kTexts, "PeriodBox.Chosen", "Chosen readings")});
    m_from = new QComboBox(this);
    m_from->setObjectName(QStringLiteral("FromBox"));
    m_to = new QComboBox(this);
    m_to->setObjectName(QStringLiteral("ToBox"));
    m_view = new QComboBox(this);
    m_view->setObjectName(QStringLiteral("ViewBox"));
    for (const SalesView view : {SalesView::Departments, SalesView::Articles, SalesView::Unsold, SalesView::Daily,
                                 SalesView::Stock})
        m_view->addItem(SalesViewTitle(view), int(view));
    m_threshold = new QLineEdit(QStringLiteral("5"), this);
    m_threshold->setObjectName(QStringLiteral("ThresholdEdit"));

    auto* choices = new QFormLayout;
    const auto row = [&](const char* name, const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setBuddy(field);
        choices->addRow(label, field);
    };
    row("RegisterLabel", QStringLiteral("Re&gister:"), m_register);
    row("PeriodLabel", QStringLiteral("Peri&od:"), m_period);
    row("FromLabel", QStringLiteral("&From reading:"), m_from);
    row("ToLabel", QStringLiteral("&To reading:"), m_to);
    row("ViewLabel", QStringLiteral("&View:"), m_view);
    row("ThresholdLabel", QStringLiteral("Stock thres&hold:"), m_threshold);

    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("DescriptionLabel"));
    m_description->setWordWrap(true);
    m_chart = new QChartView(this);
    m_chart->setObjectName(QStringLiteral("ChartView"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(260);
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("ReportTable"));
    m_table->verticalHeader()->setVisible(false);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* print = Button("PrintBtn", QStringLiteral("&Print..."), this);
    auto* preview = Button("PreviewBtn", QStringLiteral("Print previe&w..."), this);
    auto* pdf = Button("PdfBtn", QStringLiteral("Save as P&DF..."), this);
    auto* sheet = Button("ExportBtn", QStringLiteral("&Export..."), this);
    auto* close = Button("CloseBtn", QStringLiteral("&Close"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {print, preview, pdf, sheet})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_description);
    layout->addWidget(m_chart, 2);
    layout->addWidget(m_table, 3);
    layout->addLayout(buttons);
    resize(820, 760);

    TranslateWindow(*this);

    connect(m_register, &QComboBox::currentIndexChanged, this, &TSalesReportDlg::RegisterChanged);
    connect(m_period, &QComboBox::currentIndexChanged, this, &TSalesReportDlg::QuickChanged);
    connect(m_from, &QComboBox::currentIndexChanged, this, &TSalesReportDlg::ReadingChosen);
    connect(m_to, &QComboBox::currentIndexChanged, this, &TSalesReportDlg::ReadingChosen);
    connect(m_view, &QComboBox::currentIndexChanged, this, &TSalesReportDlg::Refresh);
    connect(m_threshold, &QLineEdit::editingFinished, this, &TSalesReportDlg::Refresh);
    connect(print, &QPushButton::clicked, this, &TSalesReportDlg::PrintClick);
    connect(preview, &QPushButton::clicked, this, &TSalesReportDlg::PreviewClick);
    connect(pdf, &QPushButton::clicked, this, &TSalesReportDlg::SavePdfClick);
    connect(sheet, &QPushButton::clicked, this, &TSalesReportDlg::ExportClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    FillRegisters();
}

void TSalesReportDlg::FillRegisters()
{
    m_filling = true;
    m_register->addItem(
        Tr(kTexts, "RegisterBox.CurrentFigures", "Current figures of the document"));
    std::set<QString> seen;
    // Newest first: the register read last is offered first.
    for (const SalesReading& reading : m_store.Readings()) {
        if (seen.insert(reading.device).second)
            m_register->addItem(QStringLiteral("%1 (%2)").arg(reading.port, reading.device), reading.device);
    }
    m_period->setCurrentIndex(int(Quick::Everything));
    m_filling = false;
    m_register->setCurrentIndex(m_register->count() > 1 ? 1 : kCurrentFigures);
    RegisterChanged();
}

void TSalesReportDlg::RegisterChanged()
{
    if (m_filling)
        return;
    const QString device = m_register->currentData().toString();
    m_readings.clear();
    if (m_register->currentIndex() != kCurrentFigures) {
        for (SalesReading& reading : m_store.Readings()) {
            if (reading.device == device)
                m_readings.insert(m_readings.begin(), std::move(reading));
        }
    }
    m_filling = true;
    m_from->clear();
    m_to->clear();
    for (const SalesReading& reading : m_readings) {
        m_from->addItem(ReadingText(reading), reading.id);
        m_to->addItem(ReadingText(reading), reading.id);
    }
    const bool history = !m_readings.empty();
    for (QWidget* widget : std::initializer_list<QWidget*>{m_period, m_from, m_to})
        widget->setEnabled(history);
    m_filling = false;
    QuickChanged();
}

void TSalesReportDlg::QuickChanged()
{
    if (m_filling || m_readings.empty()) {
        Refresh();
        return;
    }
    const auto quick = Quick(m_period->currentIndex());
    if (quick == Quick::Chosen)
        return;
    int first = 0;
    const int last = int(m_readings.size()) - 1;
    if (quick == Quick::LastReading) {
        first = last;
    } else if (const QDate day = FirstDay(quick); day.isValid()) {
        // No reading since that day: an empty period, shown as such.
        first = last + 1;
        for (int i = 0; i <= last; ++i) {
            if (m_readings[std::size_t(i)].time.toLocalTime().date() >= day) {
                first = i;
                break;
            }
        }
    }
    m_filling = true;
    m_from->setCurrentIndex(first <= last ? first : -1);
    m_to->setCurrentIndex(first <= last ? last : -1);
    m_filling = false;
    Refresh();
}

void TSalesReportDlg::ReadingChosen()
{
    if (m_filling)
        return;
    m_filling = true;
    m_period->setCurrentIndex(int(Quick::Chosen));
    m_filling = false;
    Refresh();
}

std::optional<SalesFigures> TSalesReportDlg::Figures()
{
    if (m_register->currentIndex() == kCurrentFigures)
        return CurrentFigures(m_plu);
    const PeriodBounds bounds{m_from->currentData().toLongLong(), std::nullopt, m_to->currentData().toLongLong(),
                              std::nullopt};
    if (bounds.fromId == 0 || bounds.toId == 0 || bounds.fromId > bounds.toId) {
        m_description->setText(Tr(kTexts, "NoReadingInPeriod", "No reading lies in the period."));
        return std::nullopt;
    }
    const PeriodChoice choice = LoadPeriod(m_store, m_register->currentData().toString(), bounds);
    if (!choice.period) {
        m_description->setText(choice.error);
        return std::nullopt;
    }
    return FiguresOfPeriod(*choice.period);
}

void TSalesReportDlg::Refresh()
{
    if (m_filling)
        return;
    const auto view = SalesView(m_view->currentData().toInt());
    m_threshold->setEnabled(view == SalesView::Stock);
    const auto threshold = Decimal::Parse(m_threshold->text(), DecimalSeparator());
    const auto figures = Figures();
    m_report = figures ? BuildSalesReport(view, *figures, {m_plu, m_departments}, threshold.value_or(Decimal()))
                       : SalesReport{view, SalesViewTitle(view), {}, {}, {}, {}, {}, {}};
    if (figures)
        m_description->setText(m_report.description.join(QLatin1Char('\n')));
    ShowTable();
    ShowChart();
}

void TSalesReportDlg::ShowTable()
{
    m_table->clear();
    m_table->setColumnCount(int(m_report.titles.size()));
    m_table->setHorizontalHeaderLabels(m_report.titles);
    m_table->setRowCount(int(m_report.rows.size()));
    for (int r = 0; r < m_report.rows.size(); ++r) {
        for (int c = 0; c < m_report.rows[r].size() && c < m_report.columns.size(); ++c) {
            const bool figure = m_report.columns[c].value != SheetColumn::Value::Text;
            auto* item = new QTableWidgetItem(figure ? ShownFigure(m_report.rows[r][c])
                                                     : m_report.rows[r][c]);
            if (figure)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
}

void TSalesReportDlg::ShowChart()
{
    auto* chart = new QChart;
    chart->setTitle(m_report.chartTitle);
    chart->legend()->hide();
    m_chart->setVisible(!m_report.chart.empty());
    if (!m_report.chart.empty()) {
        // Article names need the room of a line each: their bars lie, the best on top.
        const bool lying = m_report.view == SalesView::Articles;
        auto* bars = new QBarSet(m_report.chartTitle);
        QStringList labels;
        for (const ChartBar& bar : m_report.chart) {
            if (lying) {
                bars->insert(0, BarHeight(bar.value));
                labels.prepend(bar.label);
            } else {
                *bars << BarHeight(bar.value);
                labels << bar.label;
            }
        }
        QAbstractBarSeries* series = lying ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                           : static_cast<QAbstractBarSeries*>(new QBarSeries);
        series->append(bars);
        chart->addSeries(series);
        auto* categories = new QBarCategoryAxis;
        categories->append(labels);
        categories->setTruncateLabels(false);
        categories->setLabelsAngle(!lying && m_report.chart.size() > kUprightLabels ? -60 : 0);
        chart->addAxis(categories, lying ? Qt::AlignLeft : Qt::AlignBottom);
        series->attachAxis(categories);
        auto* values = new QValueAxis;
        values->setLabelFormat(QStringLiteral("%.0f"));
        chart->addAxis(values, lying ? Qt::AlignBottom : Qt::AlignLeft);
        series->attachAxis(values);
    }
    // The view takes the new chart but lets go of the one before without
    // deleting it.
    const std::unique_ptr<QChart> previous(m_chart->chart());
    m_chart->setChart(chart);
}

void TSalesReportDlg::PaintPages(QPainter& painter, QPagedPaintDevice& device)
{
    const auto chart = [this](QPainter& page, const QRectF& area) {
        m_chart->chart()->scene()->render(&page, area, m_chart->chart()->sceneBoundingRect());
    };
    PaintSalesReport(painter, device, m_report, chart);
}

void TSalesReportDlg::PrintClick()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    PaintPages(painter, printer);
}

void TSalesReportDlg::PreviewClick()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        QPainter painter(target);
        PaintPages(painter, *target);
    });
    preview.exec();
}

void TSalesReportDlg::WriteFile(const QString& path, const std::function<void()>& write)
{
    try {
        write();
    } catch (const FileError& error) {
        if (m_hooks.error)
            m_hooks.error(error.Message());
        return;
    }
    if (m_hooks.notice)
        m_hooks.notice(
            Tr(kTexts, "Saved", "Saved %1 to %2").arg(m_report.title, QFileInfo(path).fileName()));
}

void TSalesReportDlg::SavePdfClick()
{
    const QString path = m_hooks.saveFileName(Tr(kTexts, "SavePdfCaption", "Save as PDF"),
                                              Tr(kTexts, "PdfFilter", "PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    WriteFile(path, [&] {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(m_report.title);
        QPainter painter(&writer);
        PaintPages(painter, writer);
    });
}

void TSalesReportDlg::ExportClick()
{
    const QString path =
        m_hooks.saveFileName(Tr(kTexts, "ExportCaption", "Export"),
                             Tr(kTexts, "SheetFilter", "Spreadsheets (*.csv *.xlsx)"));
    if (path.isEmpty())
        return;
    WriteFile(path, [&] {
        if (ReportFormatOf(path) == ReportFormat::Xlsx)
            WriteSalesReportXlsx(m_report, path);
        else
            WriteSalesReportCsv(m_report, path);
    });
}
