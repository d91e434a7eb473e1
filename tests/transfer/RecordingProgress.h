#pragma once

#include "transfer/Progress.h"

#include <QString>
#include <QStringList>

#include <vector>

// The progress window as a recorder: keeps what was shown and plays the
// operator, who presses OK on an error at once (WaitDismissed) or Cancel when
// the test says so.
class RecordingProgress final : public IProgress
{
public:
    QStringList statuses;        // "N:text" or "E:text", as shown
    QStringList causes;          // below an error
    std::vector<int> margins;
    std::vector<int> progress;
    int shows = 0;
    int closes = 0;
    int waits = 0;

    void Show() override
    {
        ++shows;
        state_ = State::Running;
    }
    void Close() override { ++closes; }
    void ShowStatus(Mode mode, const QString& text) override
    {
        if (state_ == State::Dismissed)
            return;
        statuses << (mode == Mode::Error ? QStringLiteral("E:") : QStringLiteral("N:")) + text;
        state_ = mode == Mode::Error ? State::ErrorShown : State::Running;
    }
    void ShowCause(const QString& text) override
    {
        if (state_ == State::ErrorShown)
            causes << text;
    }
    void SetMargin(int total) override { margins.push_back(total); }
    void SetProgress(int current) override { progress.push_back(current); }
    State ProgressState() const override { return state_; }
    void WaitDismissed() override
    {
        ++waits;
        state_ = State::Dismissed;
    }
    void SetCancelHandler(std::function<void()> handler) override { cancel_ = std::move(handler); }

    // The operator presses Cancel.
    void PressCancel()
    {
        if (cancel_)
            cancel_();
        state_ = State::Dismissed;
    }
    bool HasCancelHandler() const { return bool(cancel_); }

private:
    State state_ = State::Running;
    std::function<void()> cancel_;
};
