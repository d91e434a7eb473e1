#pragma once

#include "labels/LabelArticles.h"
#include "labels/LabelLayout.h"

#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

class QImage;
class QPainter;
class QSize;
class QPagedPaintDevice;

// Shelf labels drawn with QPainter. Lengths on a label are in hundredths of
// a millimetre: the painter is scaled to them before a label is drawn.
inline constexpr qreal kLabelUnitsPerMm = 100.0;

// One label into rect (in label units): the name at the top (at most two
// lines, shrunk to fit), the price in large type with its currency and the
// barcode below it, the PLU number and the department's name in small type
// at the bottom. An empty place (PLU 0) draws nothing.
void DrawLabel(QPainter& painter, const QRectF& rect, const LabelArticle& article);

// Page `page` (from 0) of the sequence onto a painter whose device has
// dotsPerMm dots per millimetre and whose origin is the sheet's top left
// corner; outlines draws each label's edge (for a preview).
void DrawLabelPage(QPainter& painter, qreal dotsPerMm, const LabelLayout& layout,
                   const std::vector<LabelArticle>& sequence, int page, bool outlines = false);

// Every page of the sequence onto a printer or PDF writer, its page size and
// margins set to the layout's. Returns why it failed, or empty. Before each
// page, keepGoing (when given) may end the run (false): then the pages so far
// stay and the text tells so.
QString PaintLabelPages(QPagedPaintDevice& device, const LabelLayout& layout,
                        const std::vector<LabelArticle>& sequence,
                        const std::function<bool()>& keepGoing = nullptr);

// The first page of the sequence as an image that fits within box (white
// paper, each label's edge dashed), for a preview.
QImage LabelPagePreview(const LabelLayout& layout, const std::vector<LabelArticle>& sequence, QSize box);
