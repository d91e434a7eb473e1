#include "settings/DetectPortDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class DetectPortDlgTest : public testing::Test
{
protected:
    QPushButton* Button(const char* name) { return dialog.findChild<QPushButton*>(QString::fromLatin1(name)); }

    TDetectPortDlg dialog;
    int aborts = 0;
    void SetUp() override { dialog.SetAbortHandler([this] { ++aborts; }); }
};

TEST_F(DetectPortDlgTest, OpeningClearsTheResultsAndOffersDetect)
{
    dialog.SetPortResult(3, QStringLiteral("Qelm found!"));
    dialog.findChild<QPushButton*>(QStringLiteral("DetectBtn"))->setEnabled(false);
    QString result;
    bool detectEnabled = false;
    QTimer::singleShot(0, &dialog, [&] {
        result = dialog.PortResult(3);
        detectEnabled = Button("DetectBtn")->isEnabled();
        Button("CloseBtn")->click();
    });
    dialog.Run();
    EXPECT_TRUE(result.isEmpty());
    EXPECT_TRUE(detectEnabled);
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DetectPortDlgTest, ScanRunsWithDetectDisabledOnClearedResults)
{
    dialog.SetPortResult(1, QStringLiteral("old"));
    bool detectEnabledDuringScan = true;
    QString resultBeforeScan = QStringLiteral("?");
    dialog.SetScanHook([&](TDetectPortDlg& scanned) {
        detectEnabledDuringScan = Button("DetectBtn")->isEnabled();
        resultBeforeScan = scanned.PortResult(1);
        scanned.SetPortResult(1, QStringLiteral("No qelm found."));
        scanned.SetPortResult(2, QStringLiteral("Qelm found!"));
    });
    dialog.DetectBtnClick();
    EXPECT_FALSE(detectEnabledDuringScan);
    EXPECT_TRUE(resultBeforeScan.isEmpty());
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Edit2"))->text(), QStringLiteral("Qelm found!"));
    EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("Edit2"))->isReadOnly());
    EXPECT_TRUE(Button("DetectBtn")->isEnabled());
}

TEST_F(DetectPortDlgTest, ClosingDuringTheScanAbortsTheLinkAndStopsIt)
{
    // A fake scan that stops once the dialog is gone, as the real one does.
    dialog.SetScanHook([&](TDetectPortDlg& scanned) {
        for (int port = 1; port <= TDetectPortDlg::kPorts; ++port) {
            scanned.SetPortResult(port, QStringLiteral("Testing..."));
            if (port == 2)
                QTest::keyClick(&scanned, Qt::Key_Escape);
            if (!scanned.IsOpen())
                return;
            scanned.SetPortResult(port, QStringLiteral("No qelm found."));
        }
    });
    QTimer::singleShot(0, &dialog, [&] { Button("DetectBtn")->click(); });
    dialog.Run();
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(dialog.PortResult(1), QStringLiteral("No qelm found."));
    EXPECT_EQ(dialog.PortResult(2), QStringLiteral("Testing..."));
    EXPECT_TRUE(dialog.PortResult(3).isEmpty());
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
