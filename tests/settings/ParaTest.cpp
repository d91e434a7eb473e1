#include "transfer/FakeTransferLink.h"
#include "transfer/RecordingProgress.h"

#include "model/Defs.h"
#include "transfer/Para.h"
#include "config/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ParaTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetDecimalSeparator(QLatin1Char('.'));
        link.answer = [](quint8 command, quint16 parameter, FakeTransferLink::Data& data) {
            data.fill(0);
            if (command == 5 && parameter == 0)
                data[45] = 'H';                         // Header1
            if (command == 5 && parameter == 1)
                data[397 - 256 + 1] = 0x05;             // VAT1 0.05
            return true;
        };
    }
    void TearDown() override { ResetDecimalSeparator(); }

    QByteArray FileBytes() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("SYSTEM.CFG"));
    FakeTransferLink link;
    RecordingProgress progress;
};

TEST_F(ParaTest, DownloadSendsTheBlockAsTwoPackages)
{
    SettingsFile(path).WriteText("Default", "ClerkName1", "Eve");
    ASSERT_TRUE(DownloadParameters(link, progress, path));
    const auto sent = link.Sent(1);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].parameter, 0);
    EXPECT_EQ(sent[0].data[223], 1);
    EXPECT_EQ(sent[1].parameter, 1);
    EXPECT_EQ(sent[1].data[356 - 256], 'E');
}

TEST_F(ParaTest, UploadWritesTheSetOnlyWhenBothPackagesArrived)
{
    SettingsFile(path).WriteText("Comm", "Port", "3");
    const QByteArray before = FileBytes();
    link.failExchange = 2;
    EXPECT_FALSE(UploadParameters(link, path));
    EXPECT_EQ(FileBytes(), before);

    link.failExchange = 0;
    link.exchanges.clear();
    ASSERT_TRUE(UploadParameters(link, path));
    const SettingsFile settings(path);
    EXPECT_EQ(settings.ReadText("Default", "Header1"), "H");
    EXPECT_EQ(settings.ReadText("Default", "VAT1"), "00.05");
    EXPECT_EQ(settings.ReadText("Comm", "Port"), "3") << "other sections survive";
    EXPECT_EQ(link.Requested(5).size(), 2u);
}

} // namespace
