#include "dialogs/Recy.h"

#include "widgets/GridHeaders.h"
#include "widgets/TableGrid.h"
#include "support/KeyInput.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int PluNumber = 0, Price = 1, Barcode = 2;

QString Decimal()
{
    return QString(QLocale().decimalPoint());
}

class RecyFormTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_form.Grid()->SetBeep([this] { ++m_beeps; });
    }

    // Opens the window on m_table and runs script while it is shown; a
    // script that leaves the window open fails and the window is cancelled.
    bool Edit(const std::function<void()>& script)
    {
        QTimer::singleShot(0, &m_form, [this, script] {
            m_form.activateWindow();
            if (QTest::qWaitForWindowActive(&m_form))
                script();
            else
                ADD_FAILURE() << "the window did not become active";
            if (m_form.isVisible()) {
                ADD_FAILURE() << "the window is still open";
                m_form.done(QDialog::Rejected);
            }
        });
        return m_form.EditRecycling(m_table);
    }

    void GoTo(int row, int column)
    {
        TableGrid* grid = m_form.Grid();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
    }

    QPoint Current() const
    {
        const QModelIndex index = m_form.Grid()->currentIndex();
        return {index.column(), index.row()};
    }

    QString EditorText() const
    {
        const QLineEdit* editor = m_form.Grid()->Editor();
        return editor ? editor->text() : QStringLiteral("<closed>");
    }

    void Press(const char* button)
    {
        QTest::mouseClick(m_form.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }

    TRecyForm m_form;
    RecyTable m_table;
    int m_beeps = 0;
};

TEST_F(RecyFormTest, PluNumbersOutsideOneToHundredAreRefused)
{
    const bool accepted = Edit([this] {
        GoTo(0, PluNumber);
        Type(QStringLiteral("0"));
        Key(Qt::Key_Return);
        EXPECT_EQ(m_beeps, 1);
        EXPECT_EQ(Current(), QPoint(PluNumber, 0));
        EXPECT_EQ(EditorText(), "0");

        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("101"));
        Key(Qt::Key_Down);
        EXPECT_EQ(m_beeps, 2);
        EXPECT_EQ(Current(), QPoint(PluNumber, 0));

        // OK keeps the window open while the cell is refused.
        Press("OKBtn");
        EXPECT_EQ(m_beeps, 3);
        EXPECT_TRUE(m_form.isVisible());

        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("007"));
        Key(Qt::Key_Return);
        EXPECT_EQ(m_form.WorkingCopy().Cell(PluNumber, 1), "7");
        EXPECT_EQ(Current(), QPoint(Price, 0));
        Press("OKBtn");
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(m_table.Cell(PluNumber, 1), "7");
}

TEST_F(RecyFormTest, EnterOnTheBarcodeGoesToTheNextRecord)
{
    Edit([this] {
        GoTo(6, Barcode);
        Type(QStringLiteral("0012"));
        Key(Qt::Key_Return);
        EXPECT_EQ(Current(), QPoint(PluNumber, 7));
        EXPECT_EQ(m_form.WorkingCopy().Cell(Barcode, 7), "12");

        GoTo(99, Barcode);
        Key(Qt::Key_Return);
        EXPECT_EQ(Current(), QPoint(Barcode, 99));
        Press("CancelBtn");
    });
}

TEST_F(RecyFormTest, CancelLeavesTheTableAndOkCopiesItBack)
{
    m_table.SetCell(Price, 3, "2" + Decimal() + "50");
    const RecyTable before = m_table;
    const bool cancelled = !Edit([this] {
        GoTo(2, Price);
        Type(QStringLiteral("9"));
        Key(Qt::Key_Return);
        Press("CancelBtn");
    });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(m_table, before);

    // The next opening starts from the table again, not from the cancelled edit.
    const bool accepted = Edit([this] {
        EXPECT_EQ(m_form.WorkingCopy().Cell(Price, 3), "2" + Decimal() + "50");
        GoTo(4, Price);
        Type(QStringLiteral("3"));
        Press("OKBtn"); // commits the open cell first
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(m_table.Cell(Price, 5), "3" + Decimal() + "00");
    EXPECT_EQ(m_table.Cell(Price, 3), "2" + Decimal() + "50");
}

} // namespace

TEST_F(RecyFormTest, TitleRowIsDrawnInNavyLikeTheMainGrids)
{
    m_form.show();
    const QImage title = m_form.Grid()->horizontalHeader()->grab().toImage();
    bool navy = false;
    for (int y = 0; y < title.height() && !navy; ++y)
        for (int x = 0; x < title.width() && !navy; ++x)
            navy = title.pixelColor(x, y) == HeaderTextColour();
    EXPECT_TRUE(navy);
}
