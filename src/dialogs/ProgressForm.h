#pragma once

#include "transfer/Progress.h"
#include "transfer/TimeLeft.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

class IMessageBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The window every transfer shows while it runs: the status line, the package
// counters and a bar, the time elapsed and the time the step has left, Cancel
// while a step runs and OK once an error waits for the operator, with the
// error's cause below it. It has no title text and no close box; Escape is
// Cancel (or OK on an error). It is not modal, but the main window is disabled while it shows,
// so no second command can start.
//
// The window must not be a child of the main window (a disabled window
// disables its children, and Cancel would no longer take a click).
class TProgressForm : public QDialog, public IProgress
{
    Q_OBJECT

public:
    TProgressForm(QWidget* mainWindow, IMessageBox& messages, QWidget* parent = nullptr);

    // IProgress
    void Show() override;
    void Close() override;
    void ShowStatus(Mode mode, const QString& text) override;
    void SetMargin(int total) override;
    void SetProgress(int current) override;
    State ProgressState() const override { return m_state; }
    void WaitDismissed() override;
    void SetCancelHandler(std::function<void()> handler) override;
    void ShowCause(const QString& text) override;
    void SetLineRate(int bitsPerSecond) override;

    int Margin() const { return m_margin; }
    int Progress() const { return m_progress; }

    void OKBtnClick();
    void CancelBtnClick();

    // Escape presses the button shown, Cancel or OK.
    void reject() override;

protected:
    // Closing through the window system is refused for the same reason;
    // the window itself only ever hides.
    void closeEvent(QCloseEvent* event) override;

private:
    void SetStatusBackground(const QColor& color);
    void CentreOnScreen();
    void ShowTimes();

    QPointer<QWidget> m_mainWindow;
    IMessageBox& m_messages;
    std::function<void()> m_cancelHandler;
    State m_state = State::Running;
    // Whether Show found the main window enabled: Close enables it again only
    // then, so a window its own command holds disabled stays so after Cancel.
    bool m_enableMainOnClose = false;
    int m_margin = 0;
    int m_progress = 0;

    TimeLeftEstimator m_estimator;
    QElapsedTimer m_clock;
    // Ticks the elapsed time on while a package waits for its answer.
    QTimer m_ticker;

    QLabel* m_statusLabel;
    QLabel* m_causeLabel;
    QLabel* m_elapsedLabel;
    QLabel* m_timeLeftLabel;
    QLabel* m_curLabel;
    QLabel* m_totalLabel;
    QProgressBar* m_progressBar;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};
