// Comparing tables with the register's and sending only what changed, over a
// scripted register.

#include "FakeTransferLink.h"
#include "RecordingProgress.h"

#include "model/Defs.h"
#include "model/TextTable.h"
#include "model/ByteOrder.h"
#include "transfer/CapturingLink.h"
#include "transfer/Compare.h"
#include "transfer/DownloadChanges.h"

#include <gtest/gtest.h>

namespace {

using Data = FakeTransferLink::Data;

class CompareTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetDecimalSeparator(QLatin1Char('.'));
        for (int row = 1; row <= 3000; ++row) {
            plu.SetCell(PLUColumn::Name, row, QStringLiteral("Item %1").arg(row));
            plu.SetCell(PLUColumn::UnitPrice, row, QStringLiteral("%1.5").arg(row % 100));
        }
        for (int d = 1; d <= 9; ++d)
            departments.SetCell(DeptmentColumn::Name, d, QStringLiteral("Dept %1").arg(d));
        // A register with cleared reports and two price decimals.
        link.answer = [](quint8 command, quint16, Data& data) {
            if (command == 0) {
                data.fill(0);
                data[0] = 2;
            }
            return true;
        };
    }

    TransferRequest Request(PluRange range) const
    {
        TransferRequest request;
        request.port = QStringLiteral("COM1");
        request.selection = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
        request.range = range;
        return request;
    }

    // The register holds `held`: it answers PLU and department reads from it.
    void Hold(const TableSnapshot& held)
    {
        link.answer = [held](quint8 command, quint16 parameter, Data& data) {
            data.fill(0);
            if (command == 0) {
                data[0] = held.priceDecimals;
            } else if (command == 11) {
                for (int i = 0; i < 4; ++i) {
                    const auto record = held.plus.find(4 * parameter + i + 1);
                    if (record != held.plus.cend())
                        std::copy(record->second.cbegin(), record->second.cend(), data.begin() + 64 * i);
                }
            } else if (command == 10 && held.departments) {
                for (int i = 0; i < 8 && 8 * parameter + i < 9; ++i) {
                    const DeptmentRecord& record = (*held.departments)[std::size_t(8 * parameter + i)];
                    std::copy(record.cbegin(), record.cend(), data.begin() + 32 * i);
                }
            }
            return true;
        };
    }

    static std::vector<int> EntryNumbers(const FakeTransferLink::Exchange& package)
    {
        std::vector<int> numbers;
        for (int slot = 0; slot < package.data[0]; ++slot)
            numbers.push_back(int(ByteOrder::ReadLittle32(package.data.data() + 1 + 68 * slot)) + 1);
        return numbers;
    }

    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
    FakeTransferLink link;
    RecordingProgress progress;
};

TEST_F(CompareTest, TwentyScatteredChangesTravelInSevenPackagesOfIndexedEntries)
{
    const TransferRequest request = Request({1, 3000});
    const TableSnapshot known = SnapshotOfDocument(plu, departments, request.selection, request.range, 2);
    Hold(known);
    std::vector<int> changed;
    for (int i = 0; i < 20; ++i) {
        const int number = 7 + i * 149;
        changed.push_back(number);
        plu.SetCell(PLUColumn::UnitPrice, number, QStringLiteral("0.99"));
    }
    plu.SetCell(PLUColumn::UnitPrice, 5, QStringLiteral("5.50"));   // was 5.5: no change
    departments.SetCell(DeptmentColumn::Tax, 9, QStringLiteral("3"));

    ChangesReport report;
    const TransferResult result =
        DownloadChanges(link, progress, request, {plu, departments, QString()}, known, report);
    ASSERT_TRUE(result.Succeeded()) << result.message.toStdString();
    EXPECT_EQ(report.fullTables, 0u);
    EXPECT_EQ(report.sentPLUs, changed);

    const auto packages = link.Sent(13);
    ASSERT_EQ(packages.size(), 7u);
    std::vector<int> sent;
    for (std::size_t k = 0; k < packages.size(); ++k) {
        EXPECT_EQ(packages[k].parameter, k);
        const std::vector<int> numbers = EntryNumbers(packages[k]);
        sent.insert(sent.end(), numbers.cbegin(), numbers.cend());
    }
    EXPECT_EQ(sent, changed);
    EXPECT_EQ(EntryNumbers(packages.back()).size(), 2u);
    // Only the package holding department 9.
    const auto departmentPackages = link.Sent(12);
    ASSERT_EQ(departmentPackages.size(), 1u);
    EXPECT_EQ(departmentPackages[0].parameter, 1);
    EXPECT_EQ(departmentPackages[0].data[18], 2);   // tax 3 travels as 2

    // Before that, a sample of the register was read back: eight PLU groups
    // over the range, from the first to the last, and both department packages.
    const auto groups = link.Requested(11);
    ASSERT_EQ(groups.size(), 8u);
    EXPECT_EQ(groups.front().parameter, 0);
    EXPECT_EQ(groups.back().parameter, 749);
    EXPECT_EQ(link.Requested(10).size(), 2u);
    EXPECT_TRUE(report.differingRecord.isEmpty());
    EXPECT_EQ(ChangesSummary(report, request), "Download changes: 20 PLUs in 7 packages, 1 department in 1 package.");
}

// Another register on the same port, or a history restored from a backup: the
// register does not hold what is known, and only changes would leave it
// differing from the document everywhere else.
TEST_F(CompareTest, ARegisterThatDoesNotHoldTheKnownStateGetsTheChosenTablesInFull)
{
    const TransferRequest request = Request({1, 60});
    const TableSnapshot known = SnapshotOfDocument(plu, departments, request.selection, request.range, 2);
    plu.SetCell(PLUColumn::UnitPrice, 7, QStringLiteral("0.99"));

    // The register holds other articles from PLU 30 on.
    TableSnapshot other = known;
    for (int n = 30; n <= 60; ++n)
        other.plus.at(n)[PLURecordLayout::kName] = 'O';
    Hold(other);
    ChangesReport report;
    ASSERT_TRUE(DownloadChanges(link, progress, request, {plu, departments, QString()}, known, report).Succeeded());
    EXPECT_FALSE(report.differingRecord.isEmpty());
    EXPECT_TRUE(report.differingRecord.startsWith("PLU ")) << report.differingRecord.toStdString();
    EXPECT_EQ(report.fullTables, request.selection);
    EXPECT_EQ(link.Sent(13).size(), 20u);
    EXPECT_EQ(link.Sent(12).size(), 2u);
    const QString summary = ChangesSummary(report, request);
    EXPECT_TRUE(summary.startsWith("The register at COM1 does not hold what was last seen there (" + report.differingRecord
                                   + " differs): the PLU and department tables were sent in full."))
        << summary.toStdString();

    // Only a department differs: both tables go in full all the same.
    link.exchanges.clear();
    other = known;
    (*other.departments)[8][DeptmentRecordLayout::kName] = 'O';
    Hold(other);
    ChangesReport departmentOnly;
    ASSERT_TRUE(
        DownloadChanges(link, progress, request, {plu, departments, QString()}, known, departmentOnly).Succeeded());
    EXPECT_EQ(departmentOnly.differingRecord, "department 9");
    EXPECT_EQ(link.Sent(13).size(), 20u);
    EXPECT_EQ(link.Sent(12).size(), 2u);

    // A read-back that fails ends the download before anything is sent.
    link.exchanges.clear();
    link.failExchange = 3;   // status, then the first two reads
    ChangesReport failed;
    EXPECT_FALSE(DownloadChanges(link, progress, request, {plu, departments, QString()}, known, failed).Succeeded());
    EXPECT_TRUE(link.Sent(13).empty() && link.Sent(12).empty());
}

TEST_F(CompareTest, AStateNotKnownForTheRangeOrAtOtherDecimalsIsSentInFull)
{
    const TransferRequest request = Request({1, 30});
    TableSnapshot known = SnapshotOfDocument(plu, departments, TableBit(TransferTable::PLU), {1, 29}, 2);
    EXPECT_EQ(TablesWithoutKnownState(known, request),
              TableBit(TransferTable::PLU) | TableBit(TransferTable::Department));

    ChangesReport partly;
    ASSERT_TRUE(DownloadChanges(link, progress, request, {plu, departments, QString()}, known, partly).Succeeded());
    EXPECT_EQ(partly.fullTables, TableBit(TransferTable::PLU) | TableBit(TransferTable::Department));
    EXPECT_EQ(link.Sent(13).size(), 10u);
    EXPECT_EQ(link.Sent(12).size(), 2u);

    known = SnapshotOfDocument(plu, departments, request.selection, request.range, 3);
    EXPECT_EQ(TablesWithoutKnownState(known, request), 0u);
    ChangesReport otherDecimals;
    ASSERT_TRUE(
        DownloadChanges(link, progress, request, {plu, departments, QString()}, known, otherDecimals).Succeeded());
    EXPECT_EQ(otherDecimals.fullTables, TableBit(TransferTable::PLU) | TableBit(TransferTable::Department));
}

TEST_F(CompareTest, CompareReadsTheRegisterAndListsTheFieldsThatDiffer)
{
    // The register holds what the document would send, except PLU 6's name
    // and department 2's price; its flag byte and the totals do not count.
    const TableSnapshot held = SnapshotOfDocument(plu, departments, Request({5, 8}).selection, {1, 12}, 2);
    link.answer = [&held](quint8 command, quint16 parameter, Data& data) {
        data.fill(0);
        if (command == 11) {
            for (int i = 0; i < 4; ++i) {
                PLURecord record = held.plus.at(4 * parameter + i + 1);
                record[PLURecordLayout::kFlag] = 1;
                if (4 * parameter + i + 1 == 6)
                    record[PLURecordLayout::kName] = 'X';
                std::copy(record.cbegin(), record.cend(), data.begin() + 64 * i);
            }
        } else if (command == 10) {
            for (int i = 0; i < 8 && 8 * parameter + i < 9; ++i) {
                DeptmentRecord record = (*held.departments)[std::size_t(8 * parameter + i)];
                if (8 * parameter + i + 1 == 2)
                    ByteOrder::WriteBig32(record.data() + DeptmentRecordLayout::kPrice, 125);
                std::copy(record.cbegin(), record.cend(), data.begin() + 32 * i);
            }
        } else if (command == 0) {
            data[0] = 2;
        }
        return true;
    };
    plu.SetCell(PLUColumn::UnitPrice, 7, QStringLiteral("7.50"));   // the register has 7.5

    const CompareOutcome outcome = CompareWithRegister(link, progress, Request({5, 8}), plu, departments);
    ASSERT_TRUE(outcome.result.Succeeded());
    EXPECT_EQ(outcome.held.plus.size(), 4u);
    ASSERT_EQ(outcome.differences.size(), 2u);
    EXPECT_EQ(DifferenceLine(outcome.differences[0]), "PLU 6 Name: document \"Item 6\", register \"Xtem 6\"");
    EXPECT_EQ(DifferenceLine(outcome.differences[1]),
              "department 2 Unit price: document \"0.00\", register \"1.25\"");
    EXPECT_EQ(DifferenceCounts(outcome.differences, Request({5, 8}).selection),
              "PLU: 1 difference, department: 1 difference");
    EXPECT_TRUE(link.Sent(13).empty() && link.Sent(12).empty()) << "a compare sends no table";
}

TEST_F(CompareTest, OnlyAcknowledgedPackagesCountAsSent)
{
    const TransferRequest request = Request({1, 9});
    link.failExchange = 4;   // status is 1, then PLU packages 2, 3, 4
    CapturingLink capture(link);
    ChangesReport report;
    EXPECT_FALSE(DownloadChanges(capture, progress, request, {plu, departments, QString()}, {}, report).Succeeded());
    const TableSnapshot sent = capture.Captured();
    EXPECT_EQ(sent.plus.size(), 6u);
    EXPECT_FALSE(sent.plus.contains(7));
    EXPECT_EQ(sent.priceDecimals, 2);
}

} // namespace
