#include "ServiceDoubles.h"

#include "link/support/RegisterFrames.h"

using RegisterFrames::Bytes;

void ProgressRecorder::Show()
{
    ++shows;
    m_state = State::Running;
}

void ProgressRecorder::ShowStatus(Mode mode, const QString& text)
{
    if (m_state == State::Dismissed)
        return;
    statuses << (mode == Mode::Error ? QStringLiteral("E:") : QStringLiteral("N:")) + text;
    m_state = mode == Mode::Error ? State::ErrorShown : State::Running;
}

void ProgressRecorder::SetProgress(int current)
{
    progress.push_back(current);
    if (cancelAtProgress && *cancelAtProgress == current)
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

quint8 FakeRegister::MemoryByte(int block, int area, int i)
{
    return static_cast<quint8>(block * 3 + area + i);
}

FakeRegister::FakeRegister(ScriptedSerialDevice& device) : m_device(device)
{
    m_device.SetScript([this](const ScriptedSerialDevice::Write& write, int) { return Answer(write); });
}

QList<QByteArray> FakeRegister::Answer(const ScriptedSerialDevice::Write& write)
{
    if (!RegisterFrames::IsFrame(write.bytes))
        return {};
    const Payload payload = RegisterFrames::PayloadOf(write.bytes);
    m_frames.push_back(payload);
    if (presence == Presence::Absent)
        return {Bytes({0x55})};
    if (presence == Presence::Silent)
        return {};
    if (silentAtHeader && payload[0] == (*silentAtHeader)[0] && payload[1] == (*silentAtHeader)[1]
        && payload[2] == (*silentAtHeader)[2])
        return {};
    if (!IsBlockRequest(payload))
        return {Bytes({0x02})};

    const int block = payload[Frame::kDataOffset] | (payload[Frame::kDataOffset + 1] << 8);
    if (silentAtBlock && *silentAtBlock == block)
        return {};
    const int area = payload[Frame::kDataOffset + 2] >> 4;
    RegisterFrames::Data data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = MemoryByte(block, area, int(i));
    return {RegisterFrames::Reply(payload, data) + Bytes({0xFF})};
}

QList<QByteArray> FakeRegister::RawWrites() const
{
    QList<QByteArray> raw;
    for (const ScriptedSerialDevice::Write& write : m_device.Writes()) {
        if (!RegisterFrames::IsFrame(write.bytes))
            raw << write.bytes;
    }
    return raw;
}

int FakeRegister::CountFrames(quint8 p0, std::optional<quint8> p1, std::optional<quint8> p2) const
{
    int count = 0;
    for (const Payload& p : m_frames) {
        if (p[0] == p0 && (!p1 || p[1] == *p1) && (!p2 || p[2] == *p2))
            ++count;
    }
    return count;
}

ScriptedLink::ScriptedLink()
{
    auto owned = std::make_unique<ScriptedSerialDevice>();
    device = owned.get();
    link = std::make_unique<TQelmIBusComm>(std::move(owned));
    link->SetMessageBox(&linkMessages);
    link->SetRetryInterval(20);
    link->SetRetryCount(2);
}
