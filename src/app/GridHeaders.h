#pragma once

#include <QHeaderView>

#include <functional>

class QTableView;

// Header of a table grid: the title row (horizontal) or the row-number column
// (vertical). Each section shows the model's header text in navy, centred on one
// line, or left-aligned and clipped by the section when it is too wide.
class TitleHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit TitleHeaderView(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The colour of every header text: navy.
    static QColor TextColour();

    // Draws one header text into `rect` the way the sections and the corner do.
    static void DrawHeaderText(QPainter& painter, const QWidget& header, const QRect& rect,
                               const QString& text);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

// Gives `grid` title headers on both sides and draws the text that
// `cornerText` returns in the corner cell above the row numbers. The text is
// asked for at every repaint, so a replaced title shows at once.
void DecorateGridHeaders(QTableView& grid, std::function<QString()> cornerText);
