#include "ServiceDoubles.h"

#include "link/RegisterLink.h"
#include "link/support/RegisterFrames.h"

using RegisterFrames::Bytes;

void ProgressRecorder::ShowStatus(Mode mode, const QString& text)
{
    if (m_state == State::Dismissed)
        return;
    statuses << (mode == Mode::Error ? QStringLiteral("E:") : QStringLiteral("N:")) + text;
    m_state = mode == Mode::Error ? State::ErrorShown : State::Running;
}

void ProgressRecorder::SetProgress(int current)
{
    if (cancelAt == current)
        PressCancel();
}

void ProgressRecorder::WaitDismissed()
{
    ++waits;
    m_state = State::Dismissed;
}

void ProgressRecorder::PressCancel()
{
    if (m_cancel)
        m_cancel();
    m_state = State::Dismissed;
}

FakeRegister::FakeRegister(ScriptedSerialDevice& device)
{
    device.SetScript([this](const ScriptedSerialDevice::Write& write, int) { return Answer(write.bytes); });
}

QList<QByteArray> FakeRegister::Answer(const QByteArray& written)
{
    if (!RegisterFrames::IsFrame(written)) {
        m_transcript << (written == QByteArray(64, '\x66') ? QStringLiteral("sync") : QStringLiteral("raw"));
        return {};
    }
    const Frame::Payload p = RegisterFrames::PayloadOf(written);
    const QString key = QStringLiteral("%1/%2").arg(p[0]).arg(p[1] | (p[2] << 8));
    const bool request = key == QLatin1String("14/16");
    if (key == QLatin1String("14/1"))
        m_transcript << QStringLiteral("login");
    else if (key == QLatin1String("14/2"))
        m_transcript << (p[7] ? QStringLiteral("logout:failed") : QStringLiteral("logout"));
    else
        m_transcript << (request ? QStringLiteral("read") : key);

    if (absent)
        return {Bytes({0x55})};
    if (silentTo.contains(key))
        return {};
    if (request)
        return {RegisterFrames::Reply(p, RegisterFrames::Counting(p[3])) + Bytes({0xFF})};
    return {Bytes({0x02})};
}

ScriptedLink::ScriptedLink()
{
    auto owned = std::make_unique<ScriptedSerialDevice>();
    device = owned.get();
    link = std::make_unique<TQelmIBusComm>(std::move(owned));
    TraceBesideSettings(*link);
    link->SetMessageBox(&messages);
    link->SetRetryInterval(20);
    link->SetRetryCount(2);
}
