#include "model/Defs.h"
#include "model/RecyTable.h"
#include "model/TestData.h"
#include "model/TextTable.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class TestDataTest : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(u'.'); }
    void TearDown() override { SetDecimalSeparator(u'.'); }

    static QStringList Row(const TextTable& table, int row)
    {
        QStringList cells;
        for (int col = 1; col < table.ColCount(); ++col)
            cells << table.Cell(col, row);
        return cells;
    }

    TextTable plu{TableKind::PLU};
    TextTable dept{TableKind::Department};
    RecyTable recy;
};

} // namespace

TEST_F(TestDataTest, GeneratedRows)
{
    plu.SetCell(PLUColumn::Stocks, 3000, "5.000");
    plu.SetCell(PLUColumn::Flag, 3000, "1");
    QSignalSpy spy(&plu, &QAbstractItemModel::dataChanged);
    FillTestData(plu, dept, recy);
    EXPECT_EQ(spy.count(), 1);

    EXPECT_EQ(Row(plu, 1),
              QStringList({"1234567800001", "PLU-1", "10.00", "2", "0.000", "0", "0", "0"}));
    EXPECT_EQ(plu.Cell(PLUColumn::Department, 8), "1");
    EXPECT_EQ(Row(plu, 3000),
              QStringList({"1234567803000", "PLU-3000", "30000.00", "1", "5.000", "0", "0", "0"}));
    EXPECT_EQ(dept.Cell(DeptmentColumn::Tax, 8), "9");
    EXPECT_EQ(Row(dept, 9), QStringList({"Deptment-9", "1", "90.00"}));
    EXPECT_EQ(recy.Cell(RecyColumn::Barcode, 1), "1234567890001");
    const QStringList record100{recy.Cell(0, 100), recy.Cell(1, 100), recy.Cell(2, 100)};
    EXPECT_EQ(record100, QStringList({"100", "900.00", "1234567890100"}));
}

TEST_F(TestDataTest, GeneratedValuesPassTheCellChecksUnchanged)
{
    SetDecimalSeparator(u',');
    plu.ResetGrid();
    dept.ResetGrid();
    recy.ResetRecycling();
    FillTestData(plu, dept, recy);
    EXPECT_EQ(plu.Cell(PLUColumn::UnitPrice, 3000), "30000,00");

    const auto allPass = [](TextTable& table) {
        for (int row = 1; row < table.RowCount(); ++row)
            for (int col = 1; col < table.ColCount(); ++col) {
                const QString before = table.Cell(col, row);
                if (!table.ValidateCell(col, row) || table.Cell(col, row) != before)
                    return false;
            }
        return true;
    };
    EXPECT_TRUE(allPass(plu));
    EXPECT_TRUE(allPass(dept));
    const RecyTable filled = recy;
    for (int row = 1; row <= RecyTable::RecordCount; ++row)
        for (int col = 0; col < RecyTable::FieldCount; ++col)
            EXPECT_TRUE(recy.ValidateCell(col, row)) << col << "," << row;
    EXPECT_EQ(recy, filled);
}
