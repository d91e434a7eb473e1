#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

// Texts shrunk to fit a box of a label. Sizes are in the painter's units.

// The lines of text broken to width with the font: at word boundaries where
// possible, else between two characters (never inside one).
QStringList WrapText(const QString& text, const QFont& font, qreal width);

struct FittedText
{
    QFont font;
    QStringList lines;
};

// The largest font (pixel size from maxSize down to minSize) at which text
// fits the box in at most maxLines lines. When none does, the lines at
// minSize, the last one shortened with an ellipsis.
FittedText FitText(const QString& text, QFont font, QSizeF box, int maxLines, int maxSize, int minSize);

// The lines one below the other from the top left of box.
void DrawLines(QPainter& painter, const FittedText& text, const QRectF& box, Qt::Alignment alignment);

// The labels' font: a sans-serif face; characters it lacks come from a
// fallback font.
QFont LabelFont(int pixelSize, bool bold = false);
