#pragma once

#include "transfer/Progress.h"
#include "transfer/TimeLeft.h"

#include <QElapsedTimer>

#include <cstdio>

// The progress window of plu-cli: status lines on standard error, with a live
// bar on a terminal and a few plain progress lines otherwise, each with the
// time elapsed and the time the step has left. Nobody presses
// OK here, so WaitDismissed returns at once; Cancel() stands for Ctrl+C.
class ConsoleProgress final : public IProgress
{
public:
    explicit ConsoleProgress(std::FILE* out, bool liveBar);

    void Show() override;
    void Close() override;
    void ShowStatus(Mode mode, const QString& text) override;
    void SetMargin(int total) override;
    void SetProgress(int current) override;
    State ProgressState() const override { return state_; }
    void WaitDismissed() override;
    void SetCancelHandler(std::function<void()> handler) override;
    void SetLineRate(int bitsPerSecond) override { estimator_.SetLineRate(bitsPerSecond); }

    // The operator asked to stop: the link's wait is aborted and nothing more
    // is shown.
    void Cancel();

private:
    void DrawBar();
    void EndBarLine();
    QString TimesText() const;

    std::FILE* out_;
    const bool liveBar_;
    State state_ = State::Running;
    std::function<void()> cancel_;
    int total_ = 0;
    int current_ = 0;
    int lastTenth_ = -1;
    bool barShown_ = false;
    TimeLeftEstimator estimator_;
    QElapsedTimer clock_;
};
