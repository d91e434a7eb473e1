#include "model/Defs.h"
#include "model/RecyTable.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class RecyTableTest : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(u'.'); }
    void TearDown() override { SetDecimalSeparator(u'.'); }

    RecyTable recy;
};

} // namespace

TEST_F(RecyTableTest, CellChecks)
{
    // Typed text, and the text after leaving the cell (nullptr: refused).
    const std::tuple<int, const char*, const char*> cases[] = {
        {RecyColumn::PluNumber, "0", nullptr},      {RecyColumn::PluNumber, "101", nullptr},
        {RecyColumn::PluNumber, "007", "7"},        {RecyColumn::PluNumber, "", ""},
        {RecyColumn::PackagePrice, "1.5", "1.50"},  {RecyColumn::PackagePrice, "-3", "-3.00"},
        {RecyColumn::PackagePrice, "99999999", "99999999.00"},
        {RecyColumn::PackagePrice, "1.2.3", nullptr}, {RecyColumn::PackagePrice, "", "0.00"},
        {RecyColumn::Barcode, "0042", "42"},        {RecyColumn::Barcode, "", "0"},
        {RecyColumn::Barcode, "12345678901234", nullptr},
    };
    for (const auto& [col, typed, left] : cases) {
        recy.SetCell(col, 1, typed);
        const bool valid = recy.ValidateCell(col, 1);
        EXPECT_EQ(valid, left != nullptr) << col << " '" << typed << "'";
        EXPECT_EQ(recy.Cell(col, 1), valid ? left : typed);
    }
    EXPECT_FALSE(recy.SetCell(0, 1, QString(QChar(0x0101))));
}

TEST_F(RecyTableTest, AcceptKey)
{
    EXPECT_FALSE(RecyTable::AcceptKey(RecyColumn::PackagePrice, "1.5", u'.', false));
    EXPECT_FALSE(RecyTable::AcceptKey(RecyColumn::PackagePrice, "-1", u'-', false));
    EXPECT_FALSE(RecyTable::AcceptKey(RecyColumn::PackagePrice, "12345678", u'9', false));
    EXPECT_TRUE(RecyTable::AcceptKey(RecyColumn::PackagePrice, "12345678", u'9', true));
    EXPECT_FALSE(RecyTable::AcceptKey(RecyColumn::PluNumber, "", u'-', false));
    EXPECT_FALSE(RecyTable::AcceptKey(RecyColumn::Barcode, "", u'.', false));
}

TEST_F(RecyTableTest, ClearSelectionAndReset)
{
    for (int row = 2; row <= 6; ++row)
        for (int col = 0; col < 3; ++col)
            recy.SetCell(col, row, "9");
    recy.ClearSelection(0, 3, 2, 5);
    for (int row = 3; row <= 5; ++row) {
        const QStringList now{recy.Cell(0, row), recy.Cell(1, row), recy.Cell(2, row)};
        EXPECT_EQ(now, QStringList({"", "0.00", "0"}));
    }
    EXPECT_EQ(recy.Cell(1, 2), "9");
    EXPECT_EQ(recy.Cell(1, 6), "9");
    recy.ResetRecycling();
    EXPECT_EQ(recy, RecyTable());
    EXPECT_EQ(recy.Cell(RecyColumn::Barcode, 100), "0");
}

TEST_F(RecyTableTest, ModelIsAWorkingCopy)
{
    RecyTableModel model;
    EXPECT_EQ(model.rowCount(), 100);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal), "Package price");

    recy.SetCell(RecyColumn::Barcode, 4, "123");
    QSignalSpy spy(&model, &QAbstractItemModel::dataChanged);
    model.SetTable(recy);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(model.data(model.index(3, RecyColumn::Barcode)), "123");

    EXPECT_TRUE(model.setData(model.index(3, RecyColumn::Barcode), "0099"));
    EXPECT_EQ(recy.Cell(RecyColumn::Barcode, 4), "123");  // the original is untouched
    spy.clear();
    EXPECT_TRUE(model.ValidateCell(RecyColumn::Barcode, 4));
    EXPECT_EQ(model.Cell(RecyColumn::Barcode, 4), "99");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<QModelIndex>(), model.index(3, RecyColumn::Barcode));
    EXPECT_FALSE(model.setData(model.index(0, 0), QString(QChar(0x4E00))));

    spy.clear();
    model.ClearSelection(-1, 0, 5, 200);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(model.Table(), RecyTable());
}
