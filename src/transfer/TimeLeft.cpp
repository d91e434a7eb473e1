#include "transfer/TimeLeft.h"

#include "link/Frame.h"
#include "model/Language.h"

#include <algorithm>

namespace {

constexpr qint64 kBitsPerByte = 10; // start, eight data bits, stop

} // namespace

void TimeLeftEstimator::BeginStep(int total, qint64 nowMs)
{
    m_total = std::max(total, 0);
    m_done = 0;
    m_stepStart = nowMs;
    m_lastDoneAt = nowMs;
}

void TimeLeftEstimator::Progress(int current, qint64 nowMs)
{
    const int done = std::clamp(current - 1, 0, m_total);
    if (done == m_done)
        return;
    m_done = done;
    m_lastDoneAt = nowMs;
}

qint64 TimeLeftEstimator::WireTimePerPackageMs() const
{
    if (m_lineRate <= 0)
        return 0;
    return qint64(Frame::kWireBytes) * kBitsPerByte * 1000 / m_lineRate;
}

std::optional<qint64> TimeLeftEstimator::TimeLeftMs() const
{
    if (m_done < kPackagesBeforeEstimate || m_total <= 0)
        return std::nullopt;
    const qint64 measured = (m_lastDoneAt - m_stepStart) / m_done;
    const qint64 perPackage = std::max(measured, WireTimePerPackageMs());
    return qint64(m_total - m_done) * perPackage;
}

QString DurationText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(ms, 0) / 1000;
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    const QString mmss = QStringLiteral("%1:%2").arg(hours > 0 ? QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'))
                                                               : QString::number(minutes))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1:%2").arg(hours).arg(mmss) : mmss;
}

QString ProgressTimesText(qint64 elapsedMs, std::optional<qint64> leftMs)
{
    if (!leftMs)
        return Tr("TimeLeft", "Elapsed", "%1 elapsed").arg(DurationText(elapsedMs));
    return Tr("TimeLeft", "ElapsedAndLeft", "%1 elapsed, about %2 left").arg(DurationText(elapsedMs), DurationText(*leftMs));
}
