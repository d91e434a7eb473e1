#include "model/Defs.h"
#include "transfer/Records.h"
#include "transfer/RegisterStatus.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Bytes(const quint8* at, int count)
{
    return std::vector<int>(at, at + count);
}

PLUCells Article(QString barcode, QString name, QString price, QString department, QString stocks)
{
    return PLUCells{barcode, name, price, department, stocks, QStringLiteral("7")};
}

class RecordsTest : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(QLatin1Char('.')); }
    void TearDown() override { ResetDecimalSeparator(); }
};

TEST_F(RecordsTest, DownloadEntryMatchesTheWorkedExample)
{
    const PLUEntry entry = EncodePLUEntry(1, Article("", "A", "1.00", "1", "0"), 2);
    std::vector<int> expected(68, 0);
    expected[4 + 7] = 0x41;                     // name "A"
    expected[4 + 25 + 3] = 0x64;                // price 100
    EXPECT_EQ(Bytes(entry.data(), 68), expected) << "flag goes out as 0 whatever the cell holds";

    const PLUEntry fourth = EncodePLUEntry(3000, Article("", "", "", "", ""), 2);
    EXPECT_EQ(Bytes(fourth.data(), 4), (std::vector<int>{0xB7, 0x0B, 0, 0})) << "index 2999, little-endian";
}

TEST_F(RecordsTest, BarcodeIsPackedBcdMostSignificantFirst)
{
    const PLURecord record = EncodePLURecord(Article("2900000056789", "", "", "", ""), 2);
    EXPECT_EQ(Bytes(record.data(), 7), (std::vector<int>{0x02, 0x90, 0x00, 0x00, 0x05, 0x67, 0x89}));
    EXPECT_EQ(DecodePLURecord(record.data(), 2).barcode, "2900000056789");

    const PLURecord empty = EncodePLURecord(Article("", "", "", "", ""), 2);
    EXPECT_EQ(Bytes(empty.data(), 7), std::vector<int>(7, 0));
    EXPECT_EQ(DecodePLURecord(empty.data(), 2).barcode, "0");
}

TEST_F(RecordsTest, PricesAreScaledAndRoundedHalfToEven)
{
    const auto price = [](const QString& text, quint8 decimals) {
        const PLURecord record = EncodePLURecord(Article("", "", text, "", ""), decimals);
        return Bytes(record.data() + 25, 4);
    };
    EXPECT_EQ(price("12.5", 2), (std::vector<int>{0x00, 0x00, 0x04, 0xE2}));
    EXPECT_EQ(price("0.125", 2), (std::vector<int>{0, 0, 0, 12}));
    EXPECT_EQ(price("0.375", 2), (std::vector<int>{0, 0, 0, 38}));
    EXPECT_EQ(price("2.5", 0), (std::vector<int>{0, 0, 0, 2}));
    // Exact halves of the decimal text, not of its binary neighbour.
    EXPECT_EQ(price("2.675", 2), (std::vector<int>{0, 0, 0x01, 0x0C}));
    EXPECT_EQ(price("1.555", 2), (std::vector<int>{0, 0, 0, 0x9C}));
    EXPECT_EQ(price("-1", 2), (std::vector<int>{0xFF, 0xFF, 0xFF, 0x9C}));
    EXPECT_EQ(price("abc", 2), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(RecordsTest, NumbersBeyond32BitsKeepTheirLowestBits)
{
    const auto price = [](const QString& text, quint8 decimals) {
        const PLURecord record = EncodePLURecord(Article("", "", text, "", ""), decimals);
        return Bytes(record.data() + 25, 4);
    };
    EXPECT_EQ(price("99999999999", 2), (std::vector<int>{0x4E, 0x72, 0x9F, 0x9C}));
    EXPECT_EQ(price("-99999999999", 2), (std::vector<int>{0xB1, 0x8D, 0x60, 0x64}));
    // More digits than any cell can hold, and exponents, are no number.
    EXPECT_EQ(price("123456789012345678901", 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(price("1e3", 2), (std::vector<int>{0, 0, 0, 0}));
    // A register claiming 255 decimals must not make the conversion misbehave.
    EXPECT_EQ(price("7", 255), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(RecordsTest, StocksTravelInThousandths)
{
    const auto stocks = [](const QString& text) {
        const PLURecord record = EncodePLURecord(Article("", "", "", "", text), 2);
        return Bytes(record.data() + 45, 4);
    };
    EXPECT_EQ(stocks("2.5"), (std::vector<int>{0x00, 0x00, 0x09, 0xC4}));
    EXPECT_EQ(stocks("-1"), (std::vector<int>{0xFF, 0xFF, 0xFC, 0x18}));
}

TEST_F(RecordsTest, DepartmentAndTaxTravelAsNumberMinusOne)
{
    EXPECT_EQ(EncodePLURecord(Article("", "", "", "1", ""), 2)[44], 0);
    EXPECT_EQ(EncodePLURecord(Article("", "", "", "9", ""), 2)[44], 8);
    EXPECT_EQ(EncodePLURecord(Article("", "", "", "", ""), 2)[44], 255);
    EXPECT_EQ(EncodePLURecord(Article("", "", "", "x", ""), 2)[44], 255);

    const DeptmentRecord record = EncodeDeptmentRecord({"Bakery", "", "3.25"}, 2);
    EXPECT_EQ(record[18], 255);
    EXPECT_EQ(Bytes(record.data() + 20, 4), (std::vector<int>{0, 0, 0x01, 0x45}));
    EXPECT_EQ(Bytes(record.data(), 7), (std::vector<int>{'B', 'a', 'k', 'e', 'r', 'y', 0}));
}

TEST_F(RecordsTest, NamesFillEighteenBytesWithoutTerminator)
{
    const QString name = QStringLiteral("ABCDEFGHIJKLMNOPQRst");   // 20 characters
    const PLURecord record = EncodePLURecord(Article("", name, "0.01", "", ""), 2);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(record.data() + 7), 18), QByteArray("ABCDEFGHIJKLMNOPQR"));
    EXPECT_EQ(Bytes(record.data() + 25, 4), (std::vector<int>{0, 0, 0, 1})) << "price follows directly";
    EXPECT_EQ(DecodePLURecord(record.data(), 2).name, "ABCDEFGHIJKLMNOPQR");

    // Single-byte characters travel as their own byte.
    const PLURecord latin = EncodePLURecord(Article("", QString::fromLatin1("Caf\xE9"), "", "", ""), 2);
    EXPECT_EQ(latin[10], 0xE9);
    EXPECT_EQ(DecodePLURecord(latin.data(), 2).name, QString::fromLatin1("Caf\xE9"));
}

TEST_F(RecordsTest, UploadedFieldsBecomeCellTexts)
{
    PLURecord record{};
    record[25 + 2] = 0x04;
    record[25 + 3] = 0xE2;                 // 1250
    record[44] = 255;
    record[45] = 0xFF;
    record[46] = 0xFF;
    record[47] = 0xFC;
    record[48] = 0x18;                     // -1000
    record[49] = 3;
    record[7] = 'X';
    record[9] = 'Y';                       // after the zero: not part of the name

    const PLUCells two = DecodePLURecord(record.data(), 2);
    EXPECT_EQ(two.price, "12.50");
    EXPECT_EQ(two.department, "256");
    EXPECT_EQ(two.stocks, "-1.000");
    EXPECT_EQ(two.flag, "3");
    EXPECT_EQ(two.name, "X");
    EXPECT_EQ(DecodePLURecord(record.data(), 3).price, "1.250") << "the register's decimals";
    EXPECT_EQ(DecodePLURecord(record.data(), 0).price, "1250.00") << "at least two";

    DeptmentRecord department{};
    department[18] = 0;
    EXPECT_EQ(DecodeDeptmentRecord(department.data(), 2).tax, "1");
}

TEST_F(RecordsTest, TotalsRecordCarriesQuantityAndA48BitTotal)
{
    const std::array<quint8, 17> record{0x02, 0x90, 0x00, 0x00, 0x05, 0x67, 0x89,
                                       0x00, 0x00, 0x09, 0xC4,
                                       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const PLUTotals totals = DecodePLUTotalsRecord(record.data(), 2);
    EXPECT_EQ(totals.barcode, 2900000056789);
    EXPECT_EQ(totals.quantity, "2.500");
    EXPECT_EQ(totals.total, "2814749767106.55");
}

TEST_F(RecordsTest, TheGridsSeparatorIsUsedBothWays)
{
    SetDecimalSeparator(QLatin1Char(','));
    const PLURecord record = EncodePLURecord(Article("12", "N", "12,5", "2", "0,5"), 2);
    EXPECT_EQ(Bytes(record.data() + 25, 4), (std::vector<int>{0, 0, 0x04, 0xE2}));
    const PLUCells back = DecodePLURecord(record.data(), 2);
    EXPECT_EQ(back.price, "12,50");
    EXPECT_EQ(back.stocks, "0,500");
    EXPECT_EQ(back.department, "2");
    EXPECT_EQ(back.barcode, "12");
}

TEST_F(RecordsTest, StatusReplyGivesDecimalsReportStateAndTotalsCount)
{
    std::array<quint8, 256> data{};
    data[0] = 2;
    data[7] = 0x00;
    data[8] = 0x01;
    data[9] = 0x00;
    data[10] = 0x10;
    data[11] = 0xFF;   // not part of the count
    RegisterStatus status = ParseRegisterStatus(data);
    EXPECT_EQ(status.PriceDecimals, 2);
    EXPECT_TRUE(status.ReportCleared);
    EXPECT_EQ(status.PLUTotalsCount, 65552);

    data[1] = 1;
    data[7] = data[8] = data[9] = data[10] = 0xFF;
    status = ParseRegisterStatus(data);
    EXPECT_FALSE(status.ReportCleared);
    EXPECT_EQ(status.PLUTotalsCount, -1);
}

} // namespace

TEST_F(RecordsTest, AnUploadKeepsEveryDecimalTheRegisterHolds)
{
    DeptmentRecord department{};
    department[20 + 2] = 0x16;
    department[20 + 3] = 0x2E;  // 5678
    EXPECT_EQ(DecodeDeptmentRecord(department.data(), 3).price, "5.678");
    EXPECT_EQ(Bytes(EncodeDeptmentRecord({"", "1", "5.678"}, 3).data() + 20, 4), (std::vector<int>{0, 0, 0x16, 0x2E}));

    std::array<quint8, 17> totals{};
    totals[16] = 0xD2;
    totals[15] = 0x04;  // 1234
    EXPECT_EQ(DecodePLUTotalsRecord(totals.data(), 3).total, "1.234");
    EXPECT_EQ(DecodePLUTotalsRecord(totals.data(), 0).total, "1234.00");
}
