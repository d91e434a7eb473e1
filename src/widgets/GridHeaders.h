#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class QTableView;
class QWidget;

// The colour of every header text of the grids: navy.
QColor HeaderTextColour();

// Draws one header text into `rect` of `header`: navy on a transparent
// background, centred on one line, or left-aligned and clipped by the rectangle
// when it is too wide.
void DrawHeaderText(QPainter& painter, const QWidget& header, const QRect& rect,
                    const QString& text);

// Draws the title row, the row numbers and the corner cell of `grid` with
// DrawHeaderText. The headers keep their own behaviour (resizing, dragging
// rows); only their texts are painted differently. The corner shows what
// `cornerText` returns, asked for at every repaint so that a replaced title
// shows at once.
void DecorateGridHeaders(QTableView& grid, std::function<QString()> cornerText);
