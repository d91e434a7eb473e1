#include "sim/SimContents.h"
#include "sim/SimOptions.h"
#include "sim/SimSales.h"

#include <gtest/gtest.h>

#include <map>

using namespace SimRecords;

namespace {

void PutArticle(TSimContents& contents, int index, quint64 barcode, const char* name, qint32 price)
{
    PluFields fields;
    fields.barcode = barcode;
    fields.name = name;
    fields.price = price;
    contents.SetPlu(index, EncodePlu(fields));
}

std::map<quint64, TotalsFields> ByBarcode(const TSimContents& contents)
{
    std::map<quint64, TotalsFields> figures;
    for (const TotalsFields& t : contents.Totals())
        figures[t.barcode] = t;
    return figures;
}

TEST(SimSales, SalesAddWholePiecesAtTheArticlesPricesToItsFigures)
{
    TSimContents contents;
    PutArticle(contents, 0, 2000000000015, "Milk", 119);
    PutArticle(contents, 1, 2000000000022, "Bread", 250);
    PutArticle(contents, 2, 2000000000039, "", 999);        // unnamed: never sold
    PutArticle(contents, 3, 0, "No barcode", 500);         // the PC cannot match it
    contents.SetTotals({TotalsFields{2000000000015, 3000, 357}});

    ASSERT_EQ(SimSales::Sell(contents, 200, 7), 200);
    const auto figures = ByBarcode(contents);
    ASSERT_EQ(figures.size(), 2u) << "only the two named articles with barcodes";
    for (const auto& [barcode, t] : figures) {
        const qint64 price = barcode == 2000000000015 ? 119 : 250;
        EXPECT_EQ(t.quantityMilli % 1000, 0);
        EXPECT_EQ(qint64(t.total), price * t.quantityMilli / 1000) << barcode;
    }
    EXPECT_GT(figures.at(2000000000015).quantityMilli, 3000) << "added to the figures it had";
}

TEST(SimSales, SameSeedSellsTheSameAndAClearZeroesEverything)
{
    TSimContents a;
    a.FillDemo();
    TSimContents b;
    b.FillDemo();
    SimSales::Sell(a, 50, 3);
    SimSales::Sell(b, 50, 3);
    ASSERT_EQ(a.ToJson(), b.ToJson());
    SimSales::Sell(b, 50, 4);
    EXPECT_NE(a.ToJson(), b.ToJson());

    a.SetReportState(1);
    SimSales::ClearReports(a);
    EXPECT_TRUE(a.Totals().empty());
    EXPECT_EQ(a.ReportState(), 0);
    EXPECT_EQ(SimSales::Sell(a, 0, 1), 0);
    TSimContents empty;
    EXPECT_EQ(SimSales::Sell(empty, 10, 1), 0) << "nothing named to sell";
}

TEST(SimSales, OptionsAreParsedAndCheckedLikeTheOtherCounts)
{
    TSimOptions options;
    QString error;
    ASSERT_TRUE(ParseSimOptions({"ecr-sim", "--link", "/tmp/p", "--sell", "25", "--seed", "9", "--clear-reports"},
                                &options, &error))
        << qPrintable(error);
    EXPECT_EQ(options.sales, 25);
    EXPECT_EQ(options.seed, 9u);
    EXPECT_TRUE(options.clearReports);
    for (const char* bad : {"-1", "x"}) {
        TSimOptions o;
        EXPECT_FALSE(ParseSimOptions({"ecr-sim", "--link", "/tmp/p", "--sell", bad}, &o, &error)) << bad;
        EXPECT_FALSE(ParseSimOptions({"ecr-sim", "--link", "/tmp/p", "--seed", bad}, &o, &error)) << bad;
    }
}

} // namespace
