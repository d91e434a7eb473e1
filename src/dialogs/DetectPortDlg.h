#pragma once

#include "transfer/DetectScan.h"

#include <QDialog>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// "Detect port": tries COM1 to COM4 for a register and shows the result of
// each port. The scan itself (log-in on each port through the dialog's own
// link, the question whether to keep a port found) is handed in as a hook;
// it reports through SetPortResult and stops when the dialog is no longer
// open. Close (or Escape) aborts the link's wait through the abort handler.
// The dialog is the scan's view of the results.
class TDetectPortDlg : public QDialog, public IDetectScanView
{
    Q_OBJECT

public:
    static constexpr int kPorts = 4;
    using ScanHook = std::function<void(TDetectPortDlg&)>;

    explicit TDetectPortDlg(QWidget* parent = nullptr);

    void SetScanHook(ScanHook scan) { m_scan = std::move(scan); }
    void SetAbortHandler(std::function<void()> abort) { m_abort = std::move(abort); }

    // Clears the results, enables Detect and shows the dialog modally.
    void Run();

    // Runs the scan with Detect disabled and the results cleared.
    void DetectBtnClick();
    // Aborts the link's wait, hides and closes the dialog.
    void CloseBtnClick();

    // The scan's report for port `port` (1 to 4), painted at once.
    void SetPortResult(int port, const QString& text);
    QString PortResult(int port) const;
    // False once the operator closed the dialog: the scan then stops.
    bool IsOpen() const { return isVisible(); }

    // IDetectScanView
    void ShowPortResult(int port, const QString& text) override { SetPortResult(port, text); }
    // A row below the four ports, added when first shown; rows go at the next Detect.
    void ShowDeviceResult(int row, const QString& name, const QString& text) override;
    QString DeviceResult(int row) const;
    bool ScanWanted() const override { return IsOpen(); }

    void reject() override;

private:
    void ClearResults();
    void FitResultFields();

    ScanHook m_scan;
    std::function<void()> m_abort;
    std::array<QLineEdit*, kPorts> m_results{};
    QGridLayout* m_resultGrid;
    std::vector<std::pair<QLabel*, QLineEdit*>> m_deviceRows;
    QPushButton* m_detectButton;
};
