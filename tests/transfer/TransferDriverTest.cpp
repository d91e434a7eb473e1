#include "FakeTransferLink.h"
#include "RecordingProgress.h"

#include "model/Defs.h"
#include "files/Document.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "transfer/Download.h"
#include "transfer/Upload.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Outcome = TransferResult::Outcome;

constexpr unsigned kAllTables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department)
                                | TableBit(TransferTable::Parameter);

class TransferDriverTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetTexts();
        SetDecimalSeparator(QLatin1Char('.'));
        request.port = PortNameFor(2);
        request.baudIndex = 4;
        request.selection = kAllTables;
        request.range = {1, 6};
        link.answer = [this](quint8 command, quint16, FakeTransferLink::Data& data) {
            if (command == 0) {
                data.fill(0);
                data[0] = 2;
            }
            return true;
        };
    }
    void TearDown() override
    {
        ResetTexts();
        ResetDecimalSeparator();
    }

    TransferResult Download() { return DownloadTables(link, progress, request, tables); }
    TransferResult Upload() { return UploadTables(link, progress, request, tables); }

    // Exchange number of the first package of a command, counting from 1.
    int ExchangeOf(bool request, quint8 command) const
    {
        for (std::size_t i = 0; i < link.exchanges.size(); ++i) {
            if (link.exchanges[i].request == request && link.exchanges[i].command == command)
                return int(i) + 1;
        }
        return 0;
    }

    void ExpectFailedWith(const TransferResult& result, const QString& status)
    {
        EXPECT_EQ(result.outcome, Outcome::Failed);
        EXPECT_EQ(result.message, status);
        EXPECT_EQ(progress.statuses.back(), "E:" + status);
        EXPECT_EQ(link.logOutsFailed, 4);
        EXPECT_EQ(link.logOutsNormal, 0);
        EXPECT_EQ(progress.waits, 1);
        EXPECT_EQ(progress.closes, 0);
        EXPECT_EQ(link.calls.back(), "Active 0") << "the port is closed last";
        EXPECT_FALSE(link.active);
    }

    QTemporaryDir dir;
    FakeTransferLink link;
    RecordingProgress progress;
    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
    TransferTables tables{plu, departments, dir.filePath(QStringLiteral("SYSTEM.CFG"))};
    TransferRequest request;
};

TEST_F(TransferDriverTest, DownloadRunsTheWholeSequenceInOrder)
{
    const TransferResult result = Download();
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(link.calls.mid(0, 5), (QStringList{"CommName COM2", "BaudRate 4", "Active 1", "LogIn 7350 0",
                                                 "Request 0 0"}));
    EXPECT_EQ(link.calls.mid(link.calls.size() - 2), (QStringList{"LogOut 7350 0", "Active 0"}));
    EXPECT_LT(ExchangeOf(false, 13), ExchangeOf(false, 12));
    EXPECT_LT(ExchangeOf(false, 12), ExchangeOf(false, 1));
    EXPECT_EQ(link.Sent(1).size(), 2u);
    EXPECT_EQ(progress.statuses, (QStringList{"N:Connect...", "N:Check ecr status...", "N:Download:PLU...",
                                              "N:Download:department...", "N:Download:parameter...",
                                              "N:Disconnect..."}));
    EXPECT_EQ(progress.shows, 1);
    EXPECT_EQ(progress.closes, 1);
    EXPECT_EQ(progress.waits, 0);
    EXPECT_FALSE(progress.HasCancelHandler()) << "the Cancel button no longer reaches this link";
}

TEST_F(TransferDriverTest, AnEmptySelectionStillLogsInChecksAndLogsOut)
{
    request.selection = 0;
    EXPECT_TRUE(Download().Succeeded());
    EXPECT_EQ(link.calls, (QStringList{"CommName COM2", "BaudRate 4", "Active 1", "LogIn 7350 0", "Request 0 0",
                                       "LogOut 7350 0", "Active 0"}));
}






TEST_F(TransferDriverTest, TheErrorTextFollowsTheLanguageFile)
{
    Texts().UploadText = QStringLiteral("Lesen:");
    Texts().UploadItemTips[1] = QStringLiteral("Abteilung");
    request.selection = TableBit(TransferTable::Department);
    link.failExchange = 2;
    ExpectFailedWith(Upload(), "Lesen:Abteilung...Error!");
}


TEST_F(TransferDriverTest, CancelDuringTheParameterDownloadDoesNotSendTheSecondPackage)
{
    request.selection = TableBit(TransferTable::Parameter);
    link.beforeExchange = [this](int n) {
        if (n == 2)
            progress.PressCancel();
    };
    EXPECT_EQ(Download().outcome, Outcome::Cancelled);
    EXPECT_EQ(link.Sent(1).size(), 1u);
}

TEST_F(TransferDriverTest, ParameterPackageOneIsSentEvenWhenPackageZeroFailed)
{
    request.selection = TableBit(TransferTable::Parameter);
    link.failExchange = 2;
    ExpectFailedWith(Download(), "Download:parameter...Error!");
    EXPECT_EQ(link.Sent(1).size(), 2u);
}

TEST_F(TransferDriverTest, ASettingsFileThatRefusesTheUploadFailsTheStepWithItsReason)
{
    request.selection = TableBit(TransferTable::Parameter);
    tables.settingsPath = dir.filePath(QStringLiteral("missing/folder/SYSTEM.CFG"));
    const TransferResult result = Upload();
    ExpectFailedWith(result, "Upload:parameter...Error!");
    EXPECT_TRUE(result.detail.startsWith("Unable to write to ")) << result.detail.toStdString();
}

TEST_F(TransferDriverTest, AnInvalidRangeIsRefusedBeforeThePortOpens)
{
    request.range = {3000, 1};
    EXPECT_EQ(Download().outcome, Outcome::Refused);
    EXPECT_TRUE(link.calls.isEmpty());
}

} // namespace
