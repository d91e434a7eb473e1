#include "labels/BarcodePainter.h"
#include "model/Language.h"

#include "labels/LabelText.h"
#include "labels/ZintSymbol.h"

#include <QFontMetricsF>
#include <QPainter>

#include <zint.h>

#include <algorithm>

namespace {

// zint's colour codes: -1 the foreground, 8 white (a gap drawn as a bar).
constexpr int kWhite = 8;

void DrawBars(QPainter& painter, const zint_vector& vector, qreal scaleX, qreal scaleY, QPointF origin)
{
    painter.setPen(Qt::NoPen);
    for (const zint_vector_rect* rect = vector.rectangles; rect; rect = rect->next) {
        painter.setBrush(rect->colour == kWhite ? Qt::white : Qt::black);
        painter.drawRect(QRectF(origin.x() + rect->x * scaleX, origin.y() + rect->y * scaleY, rect->width * scaleX,
                                rect->height * scaleY));
    }
}

// zint places each string by its baseline at (x, y), centred, left or right
// aligned as halign says.
void DrawDigits(QPainter& painter, const zint_vector& vector, qreal scaleX, qreal scaleY, QPointF origin)
{
    painter.setPen(Qt::black);
    for (const zint_vector_string* string = vector.strings; string; string = string->next) {
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char*>(string->text), std::max(string->length, 0));
        // A little smaller than zint's size: the face's ascent would touch the bars.
        const QFont font = LabelFont(int(string->fsize * std::min(scaleX, scaleY) * 0.9));
        painter.setFont(font);
        const qreal width = QFontMetricsF(font).horizontalAdvance(text);
        qreal x = origin.x() + string->x * scaleX;
        if (string->halign == 0)
            x -= width / 2;
        else if (string->halign == 2)
            x -= width;
        painter.drawText(QPointF(x, origin.y() + string->y * scaleY), text);
    }
}

} // namespace

QString DrawBarcode(QPainter& painter, const QRectF& box, const BarcodeChoice& choice)
{
    if (box.width() <= 0 || box.height() <= 0)
        return Tr("LabelBarcode", "NoRoom", "no room for the barcode");
    const ZintSymbol symbol(choice, float(box.height() / box.width()));
    const zint_vector* vector = symbol.Vector();
    if (!vector)
        return symbol.Error();
    if (vector->width <= 0 || vector->height <= 0)
        return Tr("LabelBarcode", "NoSize", "the barcode has no size");
    const qreal scaleX = box.width() / vector->width;
    const qreal scaleY = box.height() / vector->height;
    painter.save();
    DrawBars(painter, *vector, scaleX, scaleY, box.topLeft());
    DrawDigits(painter, *vector, scaleX, scaleY, box.topLeft());
    painter.restore();
    return QString();
}
