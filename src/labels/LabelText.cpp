#include "labels/LabelText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

// Each try is this much smaller than the one before.
constexpr qreal kShrink = 0.92;

qreal LinesHeight(const QFont& font, qsizetype lines)
{
    const QFontMetricsF metrics(font);
    return metrics.height() + qreal(std::max<qsizetype>(lines - 1, 0)) * metrics.lineSpacing();
}

} // namespace

QStringList WrapText(const QString& text, const QFont& font, qreal width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    lines.removeAll(QString());
    return lines;
}

FittedText FitText(const QString& text, QFont font, QSizeF box, int maxLines, int maxSize, int minSize)
{
    for (qreal size = maxSize; size >= minSize; size *= kShrink) {
        font.setPixelSize(std::max(1, int(size)));
        QStringList lines = WrapText(text, font, box.width());
        if (lines.size() <= maxLines && LinesHeight(font, lines.size()) <= box.height())
            return {font, lines};
    }
    font.setPixelSize(std::max(1, minSize));
    QStringList lines = WrapText(text, font, box.width());
    if (lines.size() > maxLines) {
        const QString rest = lines.mid(maxLines - 1).join(u' ');
        lines = lines.mid(0, maxLines - 1);
        lines << QFontMetricsF(font).elidedText(rest, Qt::ElideRight, box.width());
    }
    return {font, lines};
}

void DrawLines(QPainter& painter, const FittedText& text, const QRectF& box, Qt::Alignment alignment)
{
    painter.setFont(text.font);
    const QFontMetricsF metrics(text.font);
    qreal top = box.top();
    for (const QString& line : text.lines) {
        painter.drawText(QRectF(box.left(), top, box.width(), metrics.height()), int(alignment | Qt::AlignTop),
                         line);
        top += metrics.lineSpacing();
    }
}

QFont LabelFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold(bold);
    // The label's own sizes, not the screen's hinting, decide the widths.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}
