#include "widgets/GridHeaders.h"

#include "widgets/DrawShadowText.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionHeader>
#include <QTableView>

namespace {

// Room between a left-aligned header text and the section's border.
constexpr int TextPadding = 2;

// The application's style, except that a header section's text is drawn as a
// header text over the whole section. Set on the header widgets only.
class HeaderTextStyle : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
        if (element == CE_Header && header != nullptr && widget != nullptr) {
            QProxyStyle::drawControl(CE_HeaderSection, option, painter, widget);
            DrawHeaderText(*painter, *widget, header->rect, header->text);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

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
        DrawHeaderText(painter, *m_corner, m_corner->rect(), m_text());
        return true;
    }

private:
    QAbstractButton* m_corner;
    std::function<QString()> m_text;
};

void UseHeaderTextStyle(QHeaderView& header)
{
    auto* style = new HeaderTextStyle;
    style->setParent(&header);
    header.setStyle(style);
}

} // namespace

QColor HeaderTextColour()
{
    return QColor(0, 0, 128);
}

void DrawHeaderText(QPainter& painter, const QWidget& header, const QRect& rect,
                    const QString& text)
{
    const QRect textRect = rect.adjusted(TextPadding, 0, -TextPadding, 0);
    const bool fits = painter.fontMetrics().horizontalAdvance(text) <= textRect.width();
    const int flags = (fits ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter
                      | Qt::TextSingleLine;

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(HeaderTextColour());
    DrawShadowText(painter, text, textRect, flags, header.palette().color(QPalette::Light), 0, 0,
                   header.palette().color(QPalette::Dark), 0, 0);
    painter.restore();
}

void DecorateGridHeaders(QTableView& grid, std::function<QString()> cornerText)
{
    UseHeaderTextStyle(*grid.horizontalHeader());
    UseHeaderTextStyle(*grid.verticalHeader());
    grid.setCornerButtonEnabled(true);
    if (auto* corner = grid.findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
        new CornerPainter(corner, std::move(cornerText));
}
