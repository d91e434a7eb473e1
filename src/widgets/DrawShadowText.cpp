#include "widgets/DrawShadowText.h"

#include <QPainter>

void DrawShadowText(QPainter& canvas, const QString& text, const QRect& rect, int flags,
                    const QColor& highlightColour, int highlightDx, int highlightDy,
                    const QColor& shadowColour, int shadowDx, int shadowDy)
{
    const QPen textPen = canvas.pen();
    const Qt::BGMode backgroundMode = canvas.backgroundMode();
    canvas.setBackgroundMode(Qt::TransparentMode);

    if (highlightDx + highlightDy > 0) {
        canvas.setPen(highlightColour);
        canvas.drawText(rect.translated(-highlightDx, -highlightDy), flags, text);
    }
    if (shadowDx + shadowDy > 0) {
        canvas.setPen(shadowColour);
        canvas.drawText(rect.translated(shadowDx, shadowDy), flags, text);
    }
    canvas.setPen(textPen);
    canvas.drawText(rect, flags, text);

    canvas.setBackgroundMode(backgroundMode);
    canvas.setPen(textPen);
}
