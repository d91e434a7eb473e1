#include "model/PriceChange.h"

#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/TableSearch.h"
#include "model/TextTable.h"

#include <gtest/gtest.h>

namespace {

using Operation = PriceChange::Operation;
using Rounding = PriceChange::Rounding;

class PriceChangeTest : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(QLatin1Char('.')); }
    void TearDown() override { ResetDecimalSeparator(); }
};

TEST_F(PriceChangeTest, OperationsAndRoundingsWorkInWholeCents)
{
    struct Case
    {
        qint64 cents;
        PriceChange change;
        qint64 expected;
    };
    const Case cases[] = {
        {1000, {Operation::AddPercent, 10, Rounding::None}, 1100},
        {999, {Operation::AddPercent, 5, Rounding::None}, 1049},    // 1048.95
        {1000, {Operation::SubtractPercent, 12.5, Rounding::None}, 875},
        {1000, {Operation::AddAmount, 0.25, Rounding::None}, 1025},
        {1000, {Operation::SubtractAmount, 10.01, Rounding::None}, -1},
        {1000, {Operation::SetPrice, 3.5, Rounding::None}, 350},
        {1023, {Operation::AddAmount, 0, Rounding::To005}, 1025},
        {1022, {Operation::AddAmount, 0, Rounding::To005}, 1020},
        {1045, {Operation::AddAmount, 0, Rounding::To010}, 1050},
        {1033, {Operation::AddAmount, 0, Rounding::EndIn9}, 1029},
        {1035, {Operation::AddAmount, 0, Rounding::EndIn9}, 1039},
        {1, {Operation::AddAmount, 0, Rounding::EndIn9}, 9},
        {1048, {Operation::AddAmount, 0, Rounding::EndIn99}, 999},
        {1050, {Operation::AddAmount, 0, Rounding::EndIn99}, 1099},
        {0, {Operation::AddPercent, 10, Rounding::EndIn99}, 0}, // free stays free
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangedPriceCents(c.cents, c.change), c.expected) << c.cents;
}

TEST_F(PriceChangeTest, ThePlanLeavesUnchangedRowsOutAndNamesRefusedResults)
{
    TextTable plu(TableKind::PLU);
    plu.SetCell(PLUColumn::UnitPrice, 1, QStringLiteral("10.00"));
    plu.SetCell(PLUColumn::UnitPrice, 2, QStringLiteral("0.00"));
    plu.SetCell(PLUColumn::UnitPrice, 3, QStringLiteral("999999.50"));
    plu.SetCell(PLUColumn::UnitPrice, 4, QStringLiteral("0.50"));

    const std::vector<PriceChangeRow> raised =
        PlanPriceChange(plu, {1, 2, 3}, {Operation::AddAmount, 0.99, Rounding::None});
    ASSERT_EQ(raised.size(), 3u);
    EXPECT_EQ(raised[0].after, "10.99");
    EXPECT_TRUE(raised[0].problem.isEmpty());
    EXPECT_EQ(raised[1].after, "0.99");
    EXPECT_EQ(raised[2].row, 3);
    EXPECT_EQ(raised[2].problem, "above 999999.99");

    const std::vector<PriceChangeRow> lowered =
        PlanPriceChange(plu, {1, 2, 4}, {Operation::SubtractAmount, 1, Rounding::None});
    ASSERT_EQ(lowered.size(), 3u);
    EXPECT_EQ(lowered[0].after, "9.00");
    EXPECT_EQ(lowered[1].problem, "would be negative");
    EXPECT_EQ(lowered[2].after, "-0.50");
    EXPECT_EQ(lowered[2].problem, "would be negative");
    EXPECT_EQ(PlanPriceChange(plu, {1}, {Operation::SetPrice, 10, Rounding::None}).size(), 0u);
}

TEST_F(PriceChangeTest, FindMatchesNamesBarcodesAndPluNumbersIgnoringCase)
{
    TextTable plu(TableKind::PLU);
    plu.SetCell(PLUColumn::Name, 5, QStringLiteral("Green Apples"));
    plu.SetCell(PLUColumn::Barcode, 12, QStringLiteral("4000417025005"));
    plu.SetCell(PLUColumn::Name, 417, QStringLiteral("Tea"));
    const auto rows = [](const std::vector<TableMatch>& matches) {
        std::vector<std::pair<int, int>> result;
        for (const TableMatch& m : matches)
            result.emplace_back(m.row, m.col);
        return result;
    };
    using Cells = std::vector<std::pair<int, int>>;
    EXPECT_EQ(rows(FindInTable(plu, QStringLiteral(" apples "))), Cells({{5, PLUColumn::Name}}));
    EXPECT_EQ(rows(FindInTable(plu, QStringLiteral("417"))),
              Cells({{12, PLUColumn::Barcode}, {417, PLUColumn::Name}}));
    EXPECT_TRUE(FindInTable(plu, QStringLiteral("  ")).empty());
    EXPECT_TRUE(FindInTable(plu, QStringLiteral("3001")).empty());

    TextTable dept(TableKind::Department);
    dept.SetCell(1, 3, QStringLiteral("Fruit"));
    EXPECT_EQ(rows(FindInTable(dept, QStringLiteral("FRU"))), Cells({{3, 1}}));
    EXPECT_TRUE(FindInTable(dept, QStringLiteral("3")).empty());
}

} // namespace
