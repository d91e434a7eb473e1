#pragma once

#include "labels/BarcodeChoice.h"

#include <QRectF>
#include <QString>

class QPainter;

// Draws the barcode of a choice into box as vector rectangles from zint's
// vector output, with its digits below the bars, scaled to the box's width
// and height. Returns why it could not (nothing drawn), or empty.
QString DrawBarcode(QPainter& painter, const QRectF& box, const BarcodeChoice& choice);
