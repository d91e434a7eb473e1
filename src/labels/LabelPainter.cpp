#include "labels/LabelPainter.h"
#include "model/Language.h"

#include "labels/BarcodePainter.h"
#include "labels/LabelText.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

constexpr qreal kMm = kLabelUnitsPerMm;

// The parts of a label, in label units.
struct LabelParts
{
    QRectF name;
    QRectF price;
    QRectF barcode;   // empty when the article has none
    QRectF footer;
};

LabelParts Parts(const QRectF& rect, bool barcode)
{
    const qreal pad = std::min(1.5 * kMm, 0.06 * std::min(rect.width(), rect.height()));
    const QRectF inner = rect.adjusted(pad, pad, -pad, -pad);
    const qreal footerHeight = std::clamp(inner.height() * 0.12, 1.6 * kMm, 3.0 * kMm);
    const qreal nameHeight = inner.height() * 0.30;
    const qreal gap = pad / 2;
    LabelParts parts;
    parts.name = QRectF(inner.left(), inner.top(), inner.width(), nameHeight);
    parts.footer = QRectF(inner.left(), inner.bottom() - footerHeight, inner.width(), footerHeight);
    const QRectF middle(inner.left(), parts.name.bottom() + gap, inner.width(),
                        parts.footer.top() - gap - parts.name.bottom() - gap);
    if (!barcode) {
        parts.price = middle;
        return parts;
    }
    const qreal priceWidth = middle.width() * 0.42;
    parts.price = QRectF(middle.left(), middle.top(), priceWidth, middle.height());
    parts.barcode = QRectF(middle.left() + priceWidth + gap, middle.top(), middle.width() - priceWidth - gap,
                           middle.height());
    return parts;
}

void DrawName(QPainter& painter, const QRectF& box, const QString& name)
{
    const int largest = int(std::min(box.height() / 1.2, 5.0 * kMm));
    const FittedText text = FitText(name, LabelFont(largest, true), box.size(), 2, largest, int(1.4 * kMm));
    DrawLines(painter, text, box, Qt::AlignLeft);
}

// The price as large as its box takes, the currency after it in smaller type
// on the same baseline.
void DrawPrice(QPainter& painter, const QRectF& box, const LabelArticle& article)
{
    const QString currency = article.currency.isEmpty() ? QString() : u' ' + article.currency;
    int size = int(std::min(box.height() * 0.8, 12.0 * kMm));
    QFont priceFont = LabelFont(size, true);
    QFont currencyFont = LabelFont(size / 2);
    const auto width = [&] {
        return QFontMetricsF(priceFont).horizontalAdvance(article.price)
               + QFontMetricsF(currencyFont).horizontalAdvance(currency);
    };
    for (qreal w = width(); w > box.width() && size > 1; w = width()) {
        size = std::max(1, int(size * std::max(0.5, box.width() / w * 0.98)));
        priceFont.setPixelSize(size);
        currencyFont.setPixelSize(std::max(1, size / 2));
    }
    const QFontMetricsF metrics(priceFont);
    const qreal baseline = box.top() + (box.height() + metrics.ascent() - metrics.descent()) / 2;
    painter.setFont(priceFont);
    painter.drawText(QPointF(box.left(), baseline), article.price);
    painter.setFont(currencyFont);
    painter.drawText(QPointF(box.left() + metrics.horizontalAdvance(article.price), baseline), currency);
}

void DrawFooter(QPainter& painter, const QRectF& box, const LabelArticle& article)
{
    const QFont font = LabelFont(int(box.height() * 0.8));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QString number = QStringLiteral("PLU %1").arg(article.plu);
    painter.drawText(box, int(Qt::AlignLeft | Qt::AlignVCenter), number);
    const qreal left = metrics.horizontalAdvance(number + QStringLiteral("  "));
    const QString department = metrics.elidedText(article.department, Qt::ElideRight, box.width() - left);
    painter.drawText(box, int(Qt::AlignRight | Qt::AlignVCenter), department);
}

} // namespace

void DrawLabel(QPainter& painter, const QRectF& rect, const LabelArticle& article)
{
    if (article.plu == 0)
        return;
    const LabelParts parts = Parts(rect, article.barcode.HasBarcode());
    painter.setPen(Qt::black);
    DrawName(painter, parts.name, article.name);
    DrawPrice(painter, parts.price, article);
    if (!parts.barcode.isEmpty())
        DrawBarcode(painter, parts.barcode, article.barcode);
    painter.setPen(Qt::black);
    DrawFooter(painter, parts.footer, article);
}

void DrawLabelPage(QPainter& painter, qreal dotsPerMm, const LabelLayout& layout,
                   const std::vector<LabelArticle>& sequence, int page, bool outlines)
{
    const int perPage = layout.LabelsPerPage();
    if (perPage < 1 || page < 0)
        return;
    painter.save();
    painter.scale(dotsPerMm / kMm, dotsPerMm / kMm);
    const std::size_t first = std::size_t(page) * std::size_t(perPage);
    for (int index = 0; index < perPage && first + std::size_t(index) < sequence.size(); ++index) {
        const QRectF mm = layout.LabelRect(index);
        const QRectF rect(mm.left() * kMm, mm.top() * kMm, mm.width() * kMm, mm.height() * kMm);
        DrawLabel(painter, rect, sequence[first + std::size_t(index)]);
    }
    if (outlines) {
        painter.setPen(QPen(Qt::lightGray, 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        for (int index = 0; index < perPage; ++index) {
            const QRectF mm = layout.LabelRect(index);
            painter.drawRect(QRectF(mm.left() * kMm, mm.top() * kMm, mm.width() * kMm, mm.height() * kMm));
        }
    }
    painter.restore();
}

QString PaintLabelPages(QPagedPaintDevice& device, const LabelLayout& layout,
                        const std::vector<LabelArticle>& sequence, const std::function<bool()>& keepGoing)
{
    if (const QString problem = LayoutProblem(layout); !problem.isEmpty())
        return problem;
    if (!device.setPageSize(QPageSize(layout.page, QPageSize::Millimeter, QString(), QPageSize::ExactMatch)))
        return Tr("LabelPainter", "PageSize", "the printer does not take pages of %1 x %2 mm")
            .arg(layout.page.width())
            .arg(layout.page.height());
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device))
        return Tr("LabelPainter", "CannotDraw", "the pages cannot be drawn");
    const qreal dotsPerMm = device.logicalDpiX() / 25.4;
    // A printer that keeps margins puts the origin inside them; the labels
    // stay where they are on the paper.
    const QPointF paper = device.pageLayout().paintRectPixels(device.logicalDpiX()).topLeft();
    painter.translate(-paper);
    const int pages = PageCount(sequence.size(), layout.LabelsPerPage());
    for (int page = 0; page < pages; ++page) {
        if (keepGoing && !keepGoing()) {
            painter.end();
            return Tr("LabelPainter", "Stopped", "stopped after %1 of %2 pages")
                .arg(page)
                .arg(pages);
        }
        if (page > 0 && !device.newPage())
            return Tr("LabelPainter", "CannotStart", "page %1 cannot be started").arg(page + 1);
        DrawLabelPage(painter, dotsPerMm, layout, sequence, page);
    }
    if (!painter.end())
        return Tr("LabelPainter", "CannotFinish", "the pages cannot be finished");
    return QString();
}

QImage LabelPagePreview(const LabelLayout& layout, const std::vector<LabelArticle>& sequence, QSize box)
{
    if (!LayoutProblem(layout).isEmpty() || box.isEmpty())
        return QImage();
    const qreal dotsPerMm =
        std::min(box.width() / layout.page.width(), box.height() / layout.page.height());
    QImage image(std::max(1, int(layout.page.width() * dotsPerMm)), std::max(1, int(layout.page.height() * dotsPerMm)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawLabelPage(painter, dotsPerMm, layout, sequence, 0, true);
    return image;
}
