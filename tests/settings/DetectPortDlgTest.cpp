#include "dialogs/DetectPortDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class DetectPortDlgTest : public testing::Test
{
protected:
    QPushButton* Button(const char* name) { return dialog.findChild<QPushButton*>(name); }

    TDetectPortDlg dialog;
    int aborts = 0;
    void SetUp() override { dialog.SetAbortHandler([this] { ++aborts; }); }
};

TEST_F(DetectPortDlgTest, OpeningClearsTheResultsAndOffersDetect)
{
    dialog.SetPortResult(3, "Qelm found!");
    Button("DetectBtn")->setEnabled(false);
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.PortResult(3) + (Button("DetectBtn")->isEnabled() ? "enabled" : "disabled");
        Button("CloseBtn")->click();
    });
    dialog.Run();
    EXPECT_EQ(shown, "enabled");
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DetectPortDlgTest, ScanRunsWithDetectDisabledAndClosingDuringItAbortsTheLinkAndStopsIt)
{
    QString atStart;
    // A fake scan that stops once the dialog is gone, as the real one does.
    dialog.SetScanHook([&](TDetectPortDlg& scanned) {
        atStart = scanned.PortResult(4) + (Button("DetectBtn")->isEnabled() ? "enabled" : "disabled");
        for (int port = 1; port <= TDetectPortDlg::kPorts; ++port) {
            scanned.SetPortResult(port, "Testing...");
            if (port == 2)
                QTest::keyClick(&scanned, Qt::Key_Escape);
            if (!scanned.IsOpen())
                return;
            scanned.SetPortResult(port, "No qelm found.");
        }
    });
    QTimer::singleShot(0, &dialog, [&] {
        dialog.SetPortResult(4, "left over");
        Button("DetectBtn")->click();
    });
    dialog.Run();
    EXPECT_EQ(atStart, "disabled");
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(dialog.PortResult(1), "No qelm found.");
    EXPECT_EQ(dialog.PortResult(2), "Testing...");
    EXPECT_TRUE(dialog.PortResult(3).isEmpty());
    EXPECT_TRUE(Button("DetectBtn")->isEnabled());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DetectPortDlgTest, AdapterRowsAppearBelowThePortsAndGoAtTheNextDetect)
{
    dialog.ShowDeviceResult(0, "ttyUSB1", "Testing...");
    dialog.ShowDeviceResult(0, "ttyUSB1", "Qelm found!");
    dialog.ShowDeviceResult(5, "ttyACM9", "skipped rows are refused");
    EXPECT_EQ(dialog.DeviceResult(0), "Qelm found!");
    EXPECT_EQ(dialog.findChild<QLabel*>("DeviceLabel1")->text(), "ttyUSB1 :");
    EXPECT_EQ(dialog.DeviceResult(1), "");

    QTimer::singleShot(0, &dialog, [&] {
        Button("DetectBtn")->click();
        Button("CloseBtn")->click();
    });
    dialog.Run();
    EXPECT_EQ(dialog.findChild<QLabel*>("DeviceLabel1"), nullptr);
}

} // namespace
