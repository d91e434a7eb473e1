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

constexpr Hundredths H(qint64 count)
{
    return Hundredths(count);
}

TEST_F(PriceChangeTest, OperationsWorkInWholeCents)
{
    struct Case
    {
        qint64 cents;
        PriceChange change;
        qint64 expected;
    };
    const Case cases[] = {
        {1000, {Operation::AddPercent, H(1000), Rounding::None}, 1100},
        {999, {Operation::AddPercent, H(500), Rounding::None}, 1049},    // 1048.95
        {1000, {Operation::SubtractPercent, H(1250), Rounding::None}, 875},
        {1000, {Operation::AddAmount, H(25), Rounding::None}, 1025},
        {1000, {Operation::SubtractAmount, H(1001), Rounding::None}, -1},
        {1000, {Operation::SetPrice, H(350), Rounding::None}, 350},
        {0, {Operation::AddPercent, H(1000), Rounding::EndIn99}, 0}, // free stays free
        {1000, {Operation::SubtractPercent, H(10000), Rounding::EndIn9}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangedPriceCents(c.cents, c.change), c.expected) << c.cents;
}

TEST_F(PriceChangeTest, ARaiseRoundsUpAndACutDownToTheEnding)
{
    struct Case
    {
        qint64 cents;
        PriceChange change;
        qint64 expected;
    };
    const Case cases[] = {
        {219, {Operation::AddPercent, H(1000), Rounding::EndIn99}, 299},     // 2.409 -> 2.99, not 1.99
        {250, {Operation::AddPercent, H(100), Rounding::EndIn9}, 259},       // 2.525 -> 2.59, not 2.49
        {25, {Operation::SubtractPercent, H(100), Rounding::EndIn9}, 19},    // 0.2475 -> 0.19, not 0.29
        {100, {Operation::AddPercent, H(5), Rounding::EndIn99}, 199},        // a raise, however small
        {1000, {Operation::AddAmount, H(1), Rounding::To005}, 1005},
        {1000, {Operation::AddAmount, H(6), Rounding::To010}, 1010},
        {1029, {Operation::SubtractAmount, H(1), Rounding::To005}, 1025},
        {1099, {Operation::SubtractAmount, H(1), Rounding::EndIn99}, 999},
        {1039, {Operation::AddAmount, H(10), Rounding::EndIn9}, 1049},       // already ending: kept
        {1000, {Operation::SetPrice, H(1050), Rounding::EndIn99}, 1099},     // set above the old price
        {1200, {Operation::SetPrice, H(1050), Rounding::EndIn99}, 999},      // set below it
        {1000, {Operation::SetPrice, H(1000), Rounding::EndIn99}, 1000},     // unchanged: not rounded
        // Below the first ending a cut takes it while it stays a cut.
        {25, {Operation::SubtractPercent, H(8000), Rounding::EndIn9}, 9},
        {8, {Operation::SubtractPercent, H(5000), Rounding::EndIn9}, 4},
    };
    for (const Case& c : cases) {
        const qint64 changed = ChangedPriceCents(c.cents, c.change);
        EXPECT_EQ(changed, c.expected) << c.cents;
        const bool raise = c.change.operation == Operation::AddPercent || c.change.operation == Operation::AddAmount;
        EXPECT_TRUE(raise ? changed >= c.cents : true) << c.cents;
    }
}

TEST_F(PriceChangeTest, ThePlanNamesTheRowsLeftAloneAndStillChangesTheOthers)
{
    TextTable plu(TableKind::PLU);
    plu.SetCell(PLUColumn::UnitPrice, 1, QStringLiteral("10.00"));
    plu.SetCell(PLUColumn::UnitPrice, 2, QStringLiteral("0.00"));
    plu.SetCell(PLUColumn::UnitPrice, 3, QStringLiteral("999999.50"));
    plu.SetCell(PLUColumn::UnitPrice, 4, QStringLiteral("0.50"));
    plu.SetCell(PLUColumn::UnitPrice, 5, QStringLiteral("-1.50")); // a deposit return
    plu.SetCell(PLUColumn::UnitPrice, 6, QStringLiteral("1.5"));   // as a file may hold it
    plu.SetCell(PLUColumn::UnitPrice, 7, QStringLiteral("x"));

    const std::vector<PriceChangeRow> raised =
        PlanPriceChange(plu, {1, 2, 3, 5, 6, 7}, {Operation::AddAmount, H(99), Rounding::None});
    ASSERT_EQ(raised.size(), 6u);
    EXPECT_EQ(raised[0].after, "10.99");
    EXPECT_TRUE(raised[0].problem.isEmpty());
    EXPECT_EQ(raised[1].after, "0.99");
    EXPECT_EQ(raised[2].row, 3);
    EXPECT_EQ(raised[2].problem, "the new price cannot be stored (at most 999999.99)");
    EXPECT_EQ(raised[3].row, 5);
    EXPECT_TRUE(raised[3].after.isEmpty());
    EXPECT_EQ(raised[3].problem, "a negative price, as for a deposit return, is left out");
    EXPECT_EQ(raised[4].after, "2.49");
    EXPECT_EQ(raised[5].problem, "the price is not a number");

    const std::vector<PriceChangeRow> lowered =
        PlanPriceChange(plu, {1, 2, 4, 5}, {Operation::SubtractAmount, H(100), Rounding::None});
    ASSERT_EQ(lowered.size(), 4u);
    EXPECT_EQ(lowered[0].after, "9.00");
    EXPECT_EQ(lowered[1].after, "-1.00");
    EXPECT_EQ(lowered[1].problem, "it would fall below zero");
    EXPECT_EQ(lowered[2].after, "-0.50");
    EXPECT_EQ(lowered[2].problem, "it would fall below zero");
    EXPECT_EQ(lowered[3].row, 5);
    EXPECT_EQ(PlanPriceChange(plu, {1}, {Operation::SetPrice, H(1000), Rounding::None}).size(), 0u);

    SetDecimalSeparator(u',');
    plu.SetCell(PLUColumn::UnitPrice, 1, QStringLiteral("2,19"));
    const auto comma = PlanPriceChange(plu, {1}, {Operation::AddPercent, H(1000), Rounding::EndIn99});
    ASSERT_EQ(comma.size(), 1u);
    EXPECT_EQ(comma[0].after, "2,99");
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
