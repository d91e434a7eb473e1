#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The time a step of a transfer has left, estimated from the packages
// exchanged so far and the line rate: the average time a package took, but
// never less than its frame's time on the wire. No estimate is given before
// the first kPackagesBeforeEstimate packages of the step, whose times say too
// little. Times are milliseconds on any clock that does not go back; the
// progress window and plu-cli's progress line both feed it.
class TimeLeftEstimator
{
public:
    static constexpr int kPackagesBeforeEstimate = 20;

    void SetLineRate(int bitsPerSecond) { m_lineRate = bitsPerSecond; }
    // A step of `total` packages begins.
    void BeginStep(int total, qint64 nowMs);
    // Package `current` (counting from 1) is about to be exchanged: the ones
    // before it are done.
    void Progress(int current, qint64 nowMs);
    std::optional<qint64> TimeLeftMs() const;

private:
    qint64 WireTimePerPackageMs() const;

    int m_lineRate = 0;
    int m_total = 0;
    int m_done = 0;
    qint64 m_stepStart = 0;
    qint64 m_lastDoneAt = 0;
};

// "0:27", "16:05", "1:02:03".
QString DurationText(qint64 ms);

// plu-cli's words for the times: "0:27 elapsed" or "0:27 elapsed, about 1:40 left".
QString ProgressTimesText(qint64 elapsedMs, std::optional<qint64> leftMs);
