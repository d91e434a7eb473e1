#include "FakeTransferLink.h"
#include "RecordingProgress.h"

#include "model/Defs.h"
#include "model/TextTable.h"
#include "model/ByteOrder.h"
#include "model/FieldCodec.h"
#include "transfer/Records.h"
#include "transfer/TableProcedures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

using Data = FakeTransferLink::Data;

int EntryIndex(const Data& data, int slot)
{
    return int(data[1 + 68 * slot]) | (int(data[2 + 68 * slot]) << 8);
}

QString EntryName(const Data& data, int slot)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data.data() + 1 + 68 * slot + 4 + 7));
}

// PLU number n as the register keeps it in these tests.
PLUCells StoredArticle(int n)
{
    return PLUCells{QString::number(1000000 + n), QStringLiteral("P%1").arg(n), QStringLiteral("%1.00").arg(n),
                    QStringLiteral("2"), QStringLiteral("1.500"), QString()};
}

void PutRecord(Data& data, std::size_t at, const PLUCells& cells)
{
    const PLURecord record = EncodePLURecord(cells, 2);
    std::copy(record.cbegin(), record.cend(), data.begin() + at);
}

void PutTotals(std::vector<quint8>& list, qint64 barcode, qint32 quantity, quint64 total)
{
    std::array<quint8, 17> record{};
    FieldCodec::PackBarcode(barcode, record.data());
    ByteOrder::WriteBig32(record.data() + 7, quint32(quantity));
    for (int i = 0; i < 6; ++i)
        record[11 + i] = quint8(total >> (8 * (5 - i)));
    list.insert(list.end(), record.cbegin(), record.cend());
}

class TableProceduresTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetDecimalSeparator(QLatin1Char('.'));
        for (int row = 1; row <= 3000; ++row) {
            plu.SetCell(PLUColumn::Name, row, QStringLiteral("Item %1").arg(row));
            plu.SetCell(PLUColumn::UnitPrice, row, QStringLiteral("1.00"));
        }
        std::fill(link.PacketData().begin(), link.PacketData().end(), quint8(0xAA));
    }
    void TearDown() override { ResetDecimalSeparator(); }

    // A register answering PLU groups, the totals list and departments.
    void AnswerAsRegister(std::vector<quint8> totalsList = {})
    {
        link.answer = [totalsList](quint8 command, quint16 parameter, Data& data) {
            if (command == 11) {
                for (int i = 0; i < 4; ++i)
                    PutRecord(data, 64 * i, StoredArticle(4 * parameter + i + 1));
            } else if (command == 8) {
                std::fill(data.begin(), data.end(), quint8(0));
                const std::size_t from = std::size_t(parameter) * 256;
                for (std::size_t i = 0; i < 256 && from + i < totalsList.size(); ++i)
                    data[i] = totalsList[from + i];
            } else if (command == 10) {
                for (int i = 0; i < 8; ++i) {
                    const DeptmentRecord record = EncodeDeptmentRecord(
                        {QStringLiteral("D%1").arg(8 * parameter + i + 1), QStringLiteral("3"), QStringLiteral("0.50")}, 2);
                    std::copy(record.cbegin(), record.cend(), data.begin() + 32 * i);
                }
            }
            return true;
        };
    }

    FakeTransferLink link;
    RecordingProgress progress;
    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
};

TEST_F(TableProceduresTest, DownloadPacksThreePLUsPerPackageAndLeavesTheRestOfTheAreaAlone)
{
    ASSERT_TRUE(DownloadPLUTable(link, progress, plu, {1, 4}, 2));
    const auto sent = link.Sent(13);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].parameter, 0);
    EXPECT_EQ(sent[1].parameter, 1);
    EXPECT_EQ(sent[0].data[0], 3);
    EXPECT_EQ(EntryIndex(sent[0].data, 0), 0);
    EXPECT_EQ(EntryIndex(sent[0].data, 2), 2);
    EXPECT_EQ(EntryName(sent[0].data, 1), "Item 2");
    EXPECT_EQ(sent[1].data[0], 1);
    EXPECT_EQ(EntryIndex(sent[1].data, 0), 3);
    EXPECT_EQ(EntryName(sent[1].data, 0), "Item 4");

    // The register reads only what the count announces: the rest of the data
    // area goes out as the previous exchange left it.
    EXPECT_TRUE(std::all_of(sent[0].data.begin() + 205, sent[0].data.end(), [](quint8 b) { return b == 0xAA; }));
    EXPECT_TRUE(std::equal(sent[1].data.begin() + 69, sent[1].data.end(), sent[0].data.begin() + 69));

    EXPECT_EQ(progress.margins, std::vector<int>{2});
    EXPECT_EQ(progress.progress, (std::vector<int>{1, 2}));
}

TEST_F(TableProceduresTest, DownloadRangeEdges)
{
    ASSERT_TRUE(DownloadPLUTable(link, progress, plu, {2, 4}, 2));
    auto sent = link.Sent(13);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].data[0], 3);
    EXPECT_EQ(EntryIndex(sent[0].data, 0), 1);
    EXPECT_EQ(EntryIndex(sent[0].data, 2), 3);

    link.exchanges.clear();
    ASSERT_TRUE(DownloadPLUTable(link, progress, plu, {1, 3000}, 2));
    sent = link.Sent(13);
    ASSERT_EQ(sent.size(), 1000u);
    EXPECT_EQ(sent.back().parameter, 999);
    EXPECT_EQ(EntryIndex(sent.back().data, 2), 2999);
    EXPECT_EQ(progress.margins.back(), 1000);

    EXPECT_FALSE(DownloadPLUTable(link, progress, plu, {5, 4}, 2));
    EXPECT_FALSE(DownloadPLUTable(link, progress, plu, {1, 3001}, 2));
}


TEST_F(TableProceduresTest, DownloadStopsOnceTheOperatorCancelled)
{
    // Cancel arriving just as an acknowledgement completed the wait: the link
    // reports success, but the transfer must not go on behind a closed window.
    link.beforeExchange = [this](int n) {
        if (n == 2)
            progress.PressCancel();
    };
    EXPECT_FALSE(DownloadPLUTable(link, progress, plu, {1, 30}, 2));
    EXPECT_EQ(link.exchanges.size(), 2u);
}

TEST_F(TableProceduresTest, DepartmentDownloadIsAlwaysTwoPackages)
{
    departments.SetCell(DeptmentColumn::Name, 9, QStringLiteral("Ninth"));
    departments.SetCell(DeptmentColumn::Name, 1, QStringLiteral("First"));
    ASSERT_TRUE(DownloadDeptmentTable(link, progress, departments, 2));
    const auto sent = link.Sent(12);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].parameter, 0);
    EXPECT_EQ(sent[1].parameter, 1);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(sent[0].data.data())), "First");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(sent[1].data.data())), "Ninth");
    EXPECT_TRUE(std::equal(sent[1].data.begin() + 32, sent[1].data.end(), sent[0].data.begin() + 32));
    EXPECT_EQ(progress.margins, std::vector<int>{2});
}

TEST_F(TableProceduresTest, UploadReadsOnlyTheRowsOfTheRange)
{
    AnswerAsRegister();
    RegisterStatus status;
    status.PriceDecimals = 2;
    ASSERT_TRUE(UploadPLUTable(link, progress, plu, {5, 6}, status));
    const auto requested = link.Requested(11);
    ASSERT_EQ(requested.size(), 1u);
    EXPECT_EQ(requested[0].parameter, 1);
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 5), "P5");
    EXPECT_EQ(plu.Cell(PLUColumn::Barcode, 6), "1000006");
    EXPECT_EQ(plu.Cell(PLUColumn::UnitPrice, 6), "6.00");
    EXPECT_EQ(plu.Cell(PLUColumn::Stocks, 6), "1.500");
    EXPECT_EQ(plu.Cell(PLUColumn::Flag, 6), "0");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), "Item 7");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 4), "Item 4");
    EXPECT_TRUE(link.Requested(8).empty()) << "no totals reported, none requested";
    EXPECT_EQ(progress.margins, (std::vector<int>{1, 0}));
}

TEST_F(TableProceduresTest, UploadAcrossAGroupBorder)
{
    AnswerAsRegister();
    ASSERT_TRUE(UploadPLUTable(link, progress, plu, {4, 5}, {}));
    const auto requested = link.Requested(11);
    ASSERT_EQ(requested.size(), 2u);
    EXPECT_EQ(requested[0].parameter, 0);
    EXPECT_EQ(requested[1].parameter, 1);
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 4), "P4");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 5), "P5");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 3), "Item 3");
    EXPECT_EQ(progress.progress, (std::vector<int>{1, 2}));
}


TEST_F(TableProceduresTest, TotalsRunAcrossPackageBordersAndGoToTheFirstMatchingRow)
{
    std::vector<quint8> list;
    for (int n = 1; n <= 15; ++n)
        PutTotals(list, 1000000 + n, 0, 0);
    PutTotals(list, 1000003, 2500, 1250);        // record 16: bytes 255..271, the later one wins
    AnswerAsRegister(list);
    RegisterStatus status;
    status.PriceDecimals = 2;
    status.PLUTotalsCount = 16;
    ASSERT_TRUE(UploadPLUTable(link, progress, plu, {1, 8}, status));

    const auto requested = link.Requested(8);
    ASSERT_EQ(requested.size(), 2u);
    EXPECT_EQ(requested[1].parameter, 1);
    EXPECT_EQ(progress.margins, (std::vector<int>{2, 2}));
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 3), "2.500");
    EXPECT_EQ(plu.Cell(PLUColumn::Total, 3), "12.50");
    EXPECT_EQ(plu.Cell(PLUColumn::Total, 2), "0.00");
    EXPECT_EQ(plu.Cell(PLUColumn::Total, 9), "0") << "outside the range: dropped";
}

TEST_F(TableProceduresTest, TotalsMatchTheFirstRowAndSkipBarcodeZero)
{
    std::vector<quint8> list;
    PutTotals(list, 0, 1000, 100);
    PutTotals(list, 777, 3000, 300);
    AnswerAsRegister(list);
    link.answer = [inner = link.answer](quint8 command, quint16 parameter, Data& data) {
        if (command == 11) {
            // Rows 1..4: barcodes 0, 777, 777, 0
            for (int i = 0; i < 4; ++i) {
                PLUCells cells = StoredArticle(i + 1);
                cells.barcode = (i == 1 || i == 2) ? QStringLiteral("777") : QStringLiteral("0");
                PutRecord(data, 64 * i, cells);
            }
            return true;
        }
        return inner(command, parameter, data);
    };
    RegisterStatus status;
    status.PriceDecimals = 2;
    status.PLUTotalsCount = 2;
    ASSERT_TRUE(UploadPLUTable(link, progress, plu, {1, 4}, status));
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 1), "0");
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 2), "3.000");
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 3), "0");
}

TEST_F(TableProceduresTest, AFailedTotalsRequestWritesNoTotals)
{
    std::vector<quint8> list;
    for (int n = 1; n <= 16; ++n)
        PutTotals(list, 1000000 + n, 1000, 100);
    AnswerAsRegister(list);
    link.failExchange = 3;   // group request, totals 0, then totals 1 fails
    RegisterStatus status;
    status.PLUTotalsCount = 16;
    EXPECT_FALSE(UploadPLUTable(link, progress, plu, {1, 4}, status));
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 1), "0");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 1), "P1");
}

TEST_F(TableProceduresTest, AnAbsurdTotalsCountIsCappedAtWhatThePackageParameterReaches)
{
    EXPECT_EQ(PlanTotals(0).packages, 0);
    EXPECT_EQ(PlanTotals(-5).packages, 0);
    EXPECT_EQ(PlanTotals(15).packages, 1);
    EXPECT_EQ(PlanTotals(16).packages, 2);
    EXPECT_EQ(PlanTotals(16).records, 16);
    const TotalsPlan most = PlanTotals(std::numeric_limits<qint32>::max());
    EXPECT_EQ(most.packages, 65536);
    EXPECT_EQ(most.records, 65536LL * 256 / 17);

    AnswerAsRegister();
    RegisterStatus status;
    status.PLUTotalsCount = std::numeric_limits<qint32>::max();
    ASSERT_TRUE(UploadPLUTable(link, progress, plu, {1, 1}, status));
    const auto requested = link.Requested(8);
    ASSERT_EQ(requested.size(), 65536u);
    EXPECT_EQ(requested.back().parameter, 65535);
    EXPECT_EQ(progress.margins.back(), 65536);

    link.exchanges.clear();
    status.PLUTotalsCount = -1;
    ASSERT_TRUE(UploadPLUTable(link, progress, plu, {1, 1}, status));
    EXPECT_TRUE(link.Requested(8).empty());
}

TEST_F(TableProceduresTest, DepartmentUploadFillsNineRowsFromTwoReplies)
{
    AnswerAsRegister();
    ASSERT_TRUE(UploadDeptmentTable(link, progress, departments, 2));
    const auto requested = link.Requested(10);
    ASSERT_EQ(requested.size(), 2u);
    EXPECT_EQ(requested[1].parameter, 1);
    EXPECT_EQ(departments.Cell(DeptmentColumn::Name, 1), "D1");
    EXPECT_EQ(departments.Cell(DeptmentColumn::Name, 9), "D9");
    EXPECT_EQ(departments.Cell(DeptmentColumn::Tax, 9), "3");
    EXPECT_EQ(departments.Cell(DeptmentColumn::UnitPrice, 9), "0.50");
    EXPECT_TRUE(progress.margins.empty());
}

} // namespace
