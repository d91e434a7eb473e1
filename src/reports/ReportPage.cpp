#include "reports/ReportPage.h"

#include "reports/SalesReport.h"

#include "files/FileIo.h"
#include "files/FilePath.h"
#include "model/Numbers.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace {

constexpr qreal kChartShare = 0.35;   // of the first page's height
constexpr int kMaxLabelledBars = 12;

QFont Font(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

bool IsNumberColumn(const SheetColumn& column)
{
    return column.value != SheetColumn::Value::Text;
}

// The space between columns and paragraphs, in the device's own units.
qreal Gap(const QFontMetricsF& metrics)
{
    return metrics.height() * 0.5;
}

// Columns as wide as their longest text, narrowed together where the page is
// not wide enough.
std::vector<qreal> ColumnWidths(const SalesReport& report, const QFontMetricsF& metrics,
                                const QFontMetricsF& titleMetrics, qreal width)
{
    const qreal gap = Gap(metrics);
    std::vector<qreal> widths(std::size_t(report.titles.size()), 0);
    for (qsizetype c = 0; c < report.titles.size(); ++c) {
        qreal widest = titleMetrics.horizontalAdvance(report.titles[c]);
        for (const QStringList& row : report.rows) {
            if (c < row.size())
                widest = std::max(widest, metrics.horizontalAdvance(row[c]));
        }
        widths[std::size_t(c)] = widest + 2 * gap;
    }
    qreal sum = 0;
    for (const qreal w : widths)
        sum += w;
    if (sum > width) {
        for (qreal& w : widths)
            w = w * width / sum;
    }
    return widths;
}

class TablePainter
{
public:
    TablePainter(QPainter& painter, QPagedPaintDevice& device, const SalesReport& report, const QRectF& page)
        : painter_(painter), device_(device), report_(report), page_(page),
          metrics_(Font(9), painter.device()), gap_(Gap(metrics_)),
          widths_(ColumnWidths(report, metrics_, QFontMetricsF(Font(9, true), painter.device()), page.width()))
    {
    }

    void Paint(qreal top)
    {
        y_ = top;
        Row(report_.titles, true);
        for (const QStringList& row : report_.rows) {
            if (y_ + metrics_.height() * 1.4 > page_.bottom()) {
                device_.newPage();
                y_ = page_.top();
                Row(report_.titles, true);
            }
            Row(row, false);
        }
    }

private:
    void Row(const QStringList& cells, bool header)
    {
        painter_.setFont(Font(9, header));
        const qreal height = metrics_.height() * 1.4;
        qreal x = page_.left();
        for (qsizetype c = 0; c < cells.size() && c < qsizetype(widths_.size()); ++c) {
            const QRectF cell(x + gap_, y_, widths_[std::size_t(c)] - 2 * gap_, height);
            const bool number = c < report_.columns.size() && IsNumberColumn(report_.columns[c]);
            painter_.drawText(cell, Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft), cells[c]);
            x += widths_[std::size_t(c)];
        }
        y_ += height;
        if (header)
            painter_.drawLine(QPointF(page_.left(), y_), QPointF(page_.left() + tableWidth_, y_));
    }

    QPainter& painter_;
    QPagedPaintDevice& device_;
    const SalesReport& report_;
    const QRectF page_;
    const QFontMetricsF metrics_;
    const qreal gap_;
    const std::vector<qreal> widths_;
    const qreal tableWidth_ = [this] {
        qreal sum = 0;
        for (const qreal w : widths_)
            sum += w;
        return sum;
    }();
    qreal y_ = 0;
};

// The bar's share of the largest value, in pixels of `length`, without
// taking the money through binary fractions.
qreal BarLength(const Decimal& value, const Decimal& largest, qreal length)
{
    if (largest.Units() <= 0 || value.Units() <= 0)
        return 0;
    const __int128 scaled = __int128(value.Units()) * 10000 / largest.Units();
    return length * qreal(qint64(scaled)) / 10000;
}

} // namespace

void PaintReportBars(QPainter& painter, const QRectF& area, const SalesReport& report)
{
    if (report.chart.empty())
        return;
    painter.save();
    painter.setFont(Font(8));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal labelHeight = metrics.height() * 1.3;
    painter.drawText(QRectF(area.left(), area.top(), area.width(), labelHeight), Qt::AlignLeft, report.chartTitle);
    const QRectF bars(area.left(), area.top() + labelHeight, area.width(), area.height() - 2 * labelHeight);
    Decimal largest;
    for (const ChartBar& bar : report.chart) {
        if (bar.value.Compare(largest) > 0)
            largest = bar.value;
    }
    const qreal slot = bars.width() / qreal(report.chart.size());
    const bool labelled = report.chart.size() <= std::size_t(kMaxLabelledBars);
    for (std::size_t i = 0; i < report.chart.size(); ++i) {
        const ChartBar& bar = report.chart[i];
        const qreal height = BarLength(bar.value, largest, bars.height() - labelHeight);
        const QRectF rect(bars.left() + slot * qreal(i) + slot * 0.15, bars.bottom() - height, slot * 0.7, height);
        painter.fillRect(rect, QColor(0x3a, 0x6e, 0xa5));
        if (labelled) {
            painter.drawText(QRectF(rect.left() - slot * 0.15, bars.bottom(), slot, labelHeight),
                             Qt::AlignHCenter | Qt::AlignTop, metrics.elidedText(bar.label, Qt::ElideRight, slot));
            painter.drawText(QRectF(rect.left() - slot * 0.15, rect.top() - labelHeight, slot, labelHeight),
                             Qt::AlignHCenter | Qt::AlignBottom, bar.value.Text(0, DecimalSeparator()));
        }
    }
    if (!labelled) {
        painter.drawText(QRectF(bars.left(), bars.bottom(), bars.width(), labelHeight), Qt::AlignLeft,
                         report.chart.front().label);
        painter.drawText(QRectF(bars.left(), bars.bottom(), bars.width(), labelHeight), Qt::AlignRight,
                         report.chart.back().label);
    }
    painter.drawLine(bars.bottomLeft(), bars.bottomRight());
    painter.restore();
}

void PaintSalesReport(QPainter& painter, QPagedPaintDevice& device, const SalesReport& report,
                      const ReportChartPainter& chart)
{
    const QRectF page(0, 0, device.width(), device.height());
    const qreal gap = Gap(QFontMetricsF(Font(9), painter.device()));
    qreal y = page.top();
    painter.setFont(Font(14, true));
    const qreal titleHeight = QFontMetricsF(painter.font(), painter.device()).height() * 1.5;
    painter.drawText(QRectF(page.left(), y, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop, report.title);
    y += titleHeight;
    painter.setFont(Font(9));
    for (const QString& line : report.description) {
        const QRectF bounds = painter.boundingRect(QRectF(page.left(), y, page.width(), page.height()),
                                                   Qt::TextWordWrap, line);
        painter.drawText(bounds, Qt::TextWordWrap, line);
        y += bounds.height() + gap / 4;
    }
    y += gap;
    if (!report.chart.empty()) {
        const QRectF area(page.left(), y, page.width(), page.height() * kChartShare);
        if (chart)
            chart(painter, area);
        else
            PaintReportBars(painter, area, report);
        y = area.bottom() + gap;
    }
    TablePainter(painter, device, report, page).Paint(y);
}

void WriteSalesReportPdf(const SalesReport& report, const QString& path)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(report.title);
        QPainter painter(&writer);
        PaintSalesReport(painter, writer, report);
    }
    WriteFileAtomically(FilePath(path), bytes);
}
