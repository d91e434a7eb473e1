#include "widgets/DrawShadowText.h"
#include "widgets/GridHeaders.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Columns holding at least one pixel near `colour`, as [first, last]; {-1, -1}
// when there is none.
std::pair<int, int> ColumnsWith(const QImage& image, const QColor& colour)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 40 && std::abs(pixel.green() - colour.green()) < 40
                && std::abs(pixel.blue() - colour.blue()) < 40) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

TEST(DrawShadowTextTest, CopiesAppearOnlyForPositiveOffsetsAndThePenIsKept)
{
    QImage image = WhiteImage(120, 40);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(24);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);

    DrawShadowText(painter, QStringLiteral("WWW"), image.rect(), Qt::AlignCenter, Red, 0, 0, Green,
                   0, 0);
    EXPECT_EQ(painter.pen().color(), QColor(Qt::black));
    EXPECT_EQ(painter.backgroundMode(), Qt::OpaqueMode);
    EXPECT_EQ(ColumnsWith(image, Red).first, -1);
    EXPECT_EQ(ColumnsWith(image, Green).first, -1);
    EXPECT_NE(ColumnsWith(image, Qt::black).first, -1);

    DrawShadowText(painter, QStringLiteral("WWW"), image.rect(), Qt::AlignCenter, Red, 3, 3, Green,
                   3, 3);
    painter.end();
    // The highlight lies up-left of the text, the shadow down-right.
    const auto red = ColumnsWith(image, Red);
    const auto green = ColumnsWith(image, Green);
    ASSERT_NE(red.first, -1);
    ASSERT_NE(green.first, -1);
    EXPECT_LT(red.first, green.first);
    EXPECT_LT(red.second, green.second);
}

class HeaderTextTest : public ::testing::Test
{
protected:
    std::pair<int, int> NavyColumns(const QString& text, int width)
    {
        QImage image = WhiteImage(200, 30);
        QPainter painter(&image);
        DrawHeaderText(painter, m_widget, QRect(0, 0, width, 30), text);
        painter.end();
        return ColumnsWith(image, HeaderTextColour());
    }

    QWidget m_widget;
};

TEST_F(HeaderTextTest, ShortTitlesAreCentred)
{
    const auto [first, last] = NavyColumns(QStringLiteral("NO."), 150);
    ASSERT_NE(first, -1);
    EXPECT_NEAR((first + last) / 2.0, 75.0, 6.0);
}

TEST_F(HeaderTextTest, TitlesWiderThanTheCellAreLeftAlignedAndClipped)
{
    const auto [first, last] = NavyColumns(QStringLiteral("A very long column title"), 40);
    ASSERT_NE(first, -1);
    EXPECT_LE(first, 6);
    EXPECT_LT(last, 40);
}

TEST(GridHeadersTest, HeadersAndCornerShowTheirTexts)
{
    QStandardItemModel model(3, 2);
    model.setHorizontalHeaderLabels({QStringLiteral("Barcode"), QStringLiteral("Name")});
    QTableView grid;
    grid.setModel(&model);
    grid.verticalHeader()->setSectionsMovable(true);
    const QHeaderView* rowNumbers = grid.verticalHeader();
    QString corner = QStringLiteral("NO.");
    DecorateGridHeaders(grid, [&corner] { return corner; });
    // The headers are kept, with what the grid set up on them.
    EXPECT_EQ(grid.verticalHeader(), rowNumbers);
    EXPECT_TRUE(grid.verticalHeader()->sectionsMovable());
    grid.resize(300, 200);

    const QImage picture = grid.grab().toImage();
    // Title row, row numbers and corner are painted in navy.
    const QImage top = picture.copy(0, 0, picture.width(), grid.horizontalHeader()->height());
    EXPECT_NE(ColumnsWith(top, HeaderTextColour()).first, -1);
    const QImage cornerPicture =
        picture.copy(0, 0, grid.verticalHeader()->width(), grid.horizontalHeader()->height());
    EXPECT_NE(ColumnsWith(cornerPicture, HeaderTextColour()).first, -1);
    corner.clear();
    const QImage emptyCorner = grid.grab().toImage().copy(
        0, 0, grid.verticalHeader()->width(), grid.horizontalHeader()->height());
    EXPECT_EQ(ColumnsWith(emptyCorner, HeaderTextColour()).first, -1);
}

} // namespace
