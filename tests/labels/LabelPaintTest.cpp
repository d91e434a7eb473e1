#include "labels/LabelPainter.h"
#include "labels/LabelPdf.h"
#include "labels/LabelSettings.h"
#include "labels/LabelText.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString WithoutBlanks(QString text)
{
    return text.remove(u' ');
}

std::vector<LabelArticle> Articles(int count)
{
    std::vector<LabelArticle> articles{std::size_t(count)};
    for (int i = 0; i < count; ++i) {
        articles[std::size_t(i)].plu = i + 1;
        articles[std::size_t(i)].name = QStringLiteral("Item %1").arg(i + 1);
        articles[std::size_t(i)].price = QStringLiteral("1.00");
    }
    return articles;
}

// Pages in a PDF: the page tree's count.
int PdfPages(const QByteArray& pdf)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("/Count (\\d+)")).match(QString::fromLatin1(pdf));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

TEST(LabelTextTest, NamesShrinkToTwoLinesAndBreakOnlyBetweenCharacters)
{
    const QFont font = LabelFont(500, true);
    const QSizeF box(3000, 1200);
    for (const QString& name : {QStringLiteral("Paper towels extra"), QStringLiteral("ABCDEFGHIJKLMNOPQR"),
                                QStringLiteral("Crème brûlée ÄÖÜß")}) {
        const FittedText fitted = FitText(name, font, box, 2, 500, 100);
        ASSERT_GE(fitted.lines.size(), 1);
        EXPECT_LE(fitted.lines.size(), 2);
        EXPECT_EQ(WithoutBlanks(fitted.lines.join(QString())), WithoutBlanks(name)) << name.toStdString();
        for (const QString& line : fitted.lines)
            EXPECT_LE(QFontMetricsF(fitted.font).horizontalAdvance(line), box.width() + 1) << line.toStdString();
    }
    // A short name keeps the largest size.
    EXPECT_EQ(FitText(QStringLiteral("Tea"), font, box, 2, 500, 100).font.pixelSize(), 500);

    // Too long even at the smallest size: the second line ends in an ellipsis.
    const FittedText cut = FitText(QString(60, u'W'), font, QSizeF(1000, 400), 2, 300, 150);
    ASSERT_EQ(cut.lines.size(), 2);
    EXPECT_TRUE(cut.lines[1].endsWith(QChar(0x2026))) << cut.lines[1].toStdString();
    EXPECT_EQ(cut.font.pixelSize(), 150);
}

TEST(LabelPaintTest, PagesFollowTheSequenceAndBadLayoutsDrawNothing)
{
    const LabelLayout layout = *NamedLayout(QStringLiteral("a4-3x8"));
    QByteArray pdf;
    ASSERT_EQ(LabelsPdfBytes(layout, LabelSequence(Articles(30), 1, 20), pdf), QString());
    EXPECT_EQ(PdfPages(pdf), 3);

    QByteArray none;
    const LabelLayout tooBig = CustomLayout({58, 40}, 1, 1, {70, 37}, 0, 0, 0, 0);
    EXPECT_EQ(LabelsPdfBytes(tooBig, Articles(1), none),
              QStringLiteral("the label (70.0 x 37.0 mm) is larger than the page (58.0 x 40.0 mm)"));
    EXPECT_EQ(PdfPages(none), 0);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    int pages = 0;
    EXPECT_EQ(PaintLabelPages(writer, layout, Articles(100), [&pages] { return ++pages <= 2; }),
              QStringLiteral("stopped after 2 of 5 pages"));
}

TEST(LabelPaintTest, EmptyPlacesStayBlankAndLabelsStayInsideTheirRectangles)
{
    const LabelLayout layout = *NamedLayout(QStringLiteral("a4-2x8"));
    // 4 dots per mm: the page is 840 x 1188 dots.
    QImage page(840, 1188, QImage::Format_RGB32);
    page.fill(Qt::white);
    std::vector<LabelArticle> sequence = LabelSequence(Articles(2), 1, 1);
    sequence[1].barcode = ChooseBarcode(QStringLiteral("4006381333931"));
    {
        QPainter painter(&page);
        DrawLabelPage(painter, 4.0, layout, sequence, 0);
    }
    const auto inked = [&page](const QRectF& mm) {
        for (int y = int(mm.top() * 4); y < int(mm.bottom() * 4); ++y) {
            for (int x = int(mm.left() * 4); x < int(mm.right() * 4); ++x) {
                if (page.pixel(x, y) != qRgb(255, 255, 255))
                    return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(inked(layout.LabelRect(0))) << "the skipped place";
    EXPECT_TRUE(inked(layout.LabelRect(1)));
    EXPECT_TRUE(inked(layout.LabelRect(2)));
    EXPECT_FALSE(inked(layout.LabelRect(3)));
    // Nothing between the two rows of labels, nor below the last one used.
    EXPECT_FALSE(inked(QRectF(0, 0, 210, 0.4)));
    EXPECT_FALSE(inked(QRectF(0, 75, 210, 200)));
}
