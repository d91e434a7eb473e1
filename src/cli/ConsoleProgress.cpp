#include "cli/ConsoleProgress.h"

#include "cli/ConsoleText.h"

#include <QByteArray>

namespace {
constexpr int kBarWidth = 40;
} // namespace

ConsoleProgress::ConsoleProgress(std::FILE* out, bool liveBar) : out_(out), liveBar_(liveBar) {}

void ConsoleProgress::Show()
{
    state_ = State::Running;
    total_ = current_ = 0;
    clock_.start();
}

void ConsoleProgress::Close()
{
    EndBarLine();
}

void ConsoleProgress::ShowStatus(Mode mode, const QString& text)
{
    if (state_ == State::Dismissed)
        return;
    state_ = mode == Mode::Error ? State::ErrorShown : State::Running;
    // Errors are reported once, by the caller, when the transfer has ended.
    if (mode == Mode::Normal) {
        EndBarLine();
        std::fprintf(out_, "%s\n", ConsoleText::Bytes(text).constData());
        std::fflush(out_);
    }
}

void ConsoleProgress::SetMargin(int total)
{
    EndBarLine();
    total_ = total > 0 ? total : 0;
    current_ = 0;
    lastTenth_ = -1;
    estimator_.BeginStep(total_, clock_.isValid() ? clock_.elapsed() : 0);
}

void ConsoleProgress::SetProgress(int current)
{
    if (state_ == State::Dismissed || total_ == 0)
        return;
    current_ = current;
    estimator_.Progress(current, clock_.isValid() ? clock_.elapsed() : 0);
    if (liveBar_) {
        DrawBar();
        return;
    }
    // Plain output (a log file, a pipe): one line per tenth of the step.
    const int tenth = int(qint64(current_) * 10 / total_);
    if (tenth != lastTenth_) {
        lastTenth_ = tenth;
        std::fprintf(out_, "  package %d of %d (%s)\n", current_, total_, ConsoleText::Bytes(TimesText()).constData());
        std::fflush(out_);
    }
}

void ConsoleProgress::WaitDismissed()
{
    state_ = State::Dismissed;
}

void ConsoleProgress::SetCancelHandler(std::function<void()> handler)
{
    cancel_ = std::move(handler);
}

void ConsoleProgress::Cancel()
{
    if (state_ == State::Dismissed)
        return;
    EndBarLine();
    state_ = State::Dismissed;
    if (cancel_)
        cancel_();
}

void ConsoleProgress::DrawBar()
{
    const int filled = int(qint64(qMin(current_, total_)) * kBarWidth / total_);
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(kBarWidth - filled, '.');
    // Blanks after the times clear what a longer earlier line left.
    std::fprintf(out_, "\r  [%s] %d/%d  %s   ", bar.constData(), current_, total_,
                 ConsoleText::Bytes(TimesText()).constData());
    std::fflush(out_);
    barShown_ = true;
}

void ConsoleProgress::EndBarLine()
{
    if (barShown_) {
        std::fputc('\n', out_);
        std::fflush(out_);
        barShown_ = false;
    }
}

QString ConsoleProgress::TimesText() const
{
    return ProgressTimesText(clock_.isValid() ? clock_.elapsed() : 0, estimator_.TimeLeftMs());
}
