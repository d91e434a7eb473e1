#pragma once

#include <QString>

#include <functional>

// The progress window as the transfers see it. The gui shows a real window
// (TProgressForm); plu-cli prints to standard error; tests record the calls.
class IProgress
{
public:
    enum class Mode { Normal, Error };
    enum class State { Running = 0, ErrorShown = 1, Dismissed = 2 };

    virtual ~IProgress() = default;

    // Shows the window (the main window is disabled meanwhile): counters 0,
    // state Running.
    virtual void Show() = 0;
    // Closes the window after a step that ended normally; the state stays.
    virtual void Close() = 0;

    // Ignored once the window was dismissed. Error mode beeps, paints the
    // status red and offers OK; normal mode offers Cancel.
    virtual void ShowStatus(Mode mode, const QString& text) = 0;
    // Total packages of the current step; 0 empties both counters.
    virtual void SetMargin(int total) = 0;
    // The package being exchanged, counting from 1.
    virtual void SetProgress(int current) = 0;

    virtual State ProgressState() const = 0;
    // Processes events until the operator pressed OK or Cancel; returns at
    // once when already dismissed.
    virtual void WaitDismissed() = 0;

    // Called when the operator presses Cancel (the transfer aborts the link).
    virtual void SetCancelHandler(std::function<void()> handler) = 0;

    // Why the error just shown happened, in plain words, shown below it;
    // ignored once the window was dismissed.
    virtual void ShowCause(const QString& text) { Q_UNUSED(text) }
    // The session's line rate in bit/s, from which the time left is estimated
    // until the packages exchanged tell better.
    virtual void SetLineRate(int bitsPerSecond) { Q_UNUSED(bitsPerSecond) }
};

// True once the operator pressed Cancel (or OK on an error).
inline bool IsDismissed(const IProgress& progress)
{
    return progress.ProgressState() == IProgress::State::Dismissed;
}
