#include "app/GridHeaders.h"

#include "app/DrawShadowText.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QTableView>

namespace {

// Room between a left-aligned header text and the section's border.
constexpr int TextPadding = 2;

// Paints the corner button of a table view as an empty header section with a
// title over it. The button keeps its click (select all).
class CornerPainter : public QObject
{
public:
    CornerPainter(QAbstractButton* corner, std::function<QString()> text)
        : QObject(corner), m_corner(corner), m_text(std::move(text))
    {
        corner->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_corner || event->type() != QEvent::Paint)
            return false;
        QPainter painter(m_corner);
        QStyleOptionHeader option;
        option.initFrom(m_corner);
        option.rect = m_corner->rect();
        option.position = QStyleOptionHeader::OnlyOneSection;
        m_corner->style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, m_corner);
        TitleHeaderView::DrawHeaderText(painter, *m_corner, m_corner->rect(), m_text());
        return true;
    }

private:
    QAbstractButton* m_corner;
    std::function<QString()> m_text;
};

} // namespace

TitleHeaderView::TitleHeaderView(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent)
{
    setSectionsClickable(true);
    setHighlightSections(true);
    setDefaultAlignment(Qt::AlignCenter);
}

QColor TitleHeaderView::TextColour()
{
    return QColor(0, 0, 128);
}

void TitleHeaderView::DrawHeaderText(QPainter& painter, const QWidget& header, const QRect& rect,
                                     const QString& text)
{
    const QRect textRect = rect.adjusted(TextPadding, 0, -TextPadding, 0);
    const bool fits = painter.fontMetrics().horizontalAdvance(text) <= textRect.width();
    const int flags = (fits ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter
                      | Qt::TextSingleLine;

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(TextColour());
    DrawShadowText(painter, text, textRect, flags, header.palette().color(QPalette::Light), 0, 0,
                   header.palette().color(QPalette::Dark), 0, 0);
    painter.restore();
}

void TitleHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    const QString text = model() != nullptr
                             ? model()->headerData(logicalIndex, orientation()).toString()
                             : QString();
    DrawHeaderText(*painter, *this, rect, text);
}

void DecorateGridHeaders(QTableView& grid, std::function<QString()> cornerText)
{
    grid.setHorizontalHeader(new TitleHeaderView(Qt::Horizontal, &grid));
    grid.setVerticalHeader(new TitleHeaderView(Qt::Vertical, &grid));
    grid.setCornerButtonEnabled(true);
    if (auto* corner = grid.findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
        new CornerPainter(corner, std::move(cornerText));
}
