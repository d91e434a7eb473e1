#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

// Draws text with an optional highlight copy (moved up and left) and shadow copy
// (moved down and right) behind it, then the text itself in the painter's pen
// colour, all on a transparent background. A copy is drawn only when the sum of
// its offsets is positive. `flags` are Qt alignment and text flags as for
// QPainter::drawText. The painter's pen and background mode are left as found.
void DrawShadowText(QPainter& canvas, const QString& text, const QRect& rect, int flags,
                    const QColor& highlightColour, int highlightDx, int highlightDy,
                    const QColor& shadowColour, int shadowDx, int shadowDy);
