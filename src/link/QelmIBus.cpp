#include "link/QelmIBus.h"

#include "model/Language.h"
#include "model/MessageBox.h"
#include "serial/CommsError.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <algorithm>

namespace {

// The line rate of log-in attempt n: 9600 first, then every table rate in
// turn, starting again at 9600.
quint32 HuntingRate(int attempt)
{
    if (attempt == 0)
        return TQelmIBusComm::BaudTable[0];
    return TQelmIBusComm::BaudTable[static_cast<std::size_t>(attempt - 1) % TQelmIBusComm::BaudTable.size()];
}

// A condition that became true inside an event handler must not leave the
// waiting loop blocked until some unrelated event arrives.
void WakeWaitingLoop()
{
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

} // namespace

TQelmIBusComm::TQelmIBusComm(std::unique_ptr<ISerialDevice> device, QObject* parent)
    : QObject(parent)
    , m_device(std::move(device))
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    m_device->SetBaudRate(BaudTable[tbr9600]);
    m_device->SetReceiveHandler([this](const quint8* data, quint16 length) { OnReceiveData(data, length); });
    m_device->SetSendCompleteHandler([this] { OnSendComplete(); });
    m_device->SetHangupHandler([this] { OnHangup(); });
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, &TQelmIBusComm::OnReplyTimer);
}

TQelmIBusComm::~TQelmIBusComm()
{
    m_device->SetReceiveHandler({});
    m_device->SetSendCompleteHandler({});
    m_device->SetHangupHandler({});
    m_device->ClosePort();
}

QString TQelmIBusComm::CommName() const
{
    return m_device->CommName();
}

void TQelmIBusComm::SetCommName(const QString& name)
{
    m_device->SetCommName(name);
}

void TQelmIBusComm::SetBaudRate(TBaudRate rate)
{
    if (rate < tbr9600 || rate > tbr115200)
        return;
    m_baudRate = rate;
    SetLineRate(BaudTable[rate]);
}

bool TQelmIBusComm::SetLineRate(quint32 rate)
{
    try {
        m_device->SetBaudRate(rate);
        return true;
    } catch (const std::exception&) {
        // A port whose cable was pulled refuses new line settings; the
        // operation in progress fails through its usual path instead.
        m_deviceLost = true;
        WakeWaitingLoop();
        return false;
    }
}

void TQelmIBusComm::SetBroadCastScaleType(TBroadCastScaleType type)
{
    if (type == tbs1024 || type == tbs5120)
        m_scaleType = type;
}

void TQelmIBusComm::SetClock(Clock clock)
{
    if (clock)
        m_clock = std::move(clock);
}

// --- port ---

void TQelmIBusComm::SetActive(bool active)
{
    if (!active) {
        m_active = false;
        m_device->ClosePort();
        if (!m_tracePath)
            return;
        if (m_traceAppends)
            m_trace.AppendToFile(m_tracePath());
        else
            m_trace.WriteFile(m_tracePath());
        return;
    }
    if (m_active) {
        // Marked closed at once: should the reopening fail, isActive must not
        // claim a port that is no longer open.
        m_device->ClosePort();
        m_active = false;
    }
    try {
        m_device->OpenPort();
    } catch (const ECommsError& error) {
        if (m_messageBox)
            m_messageBox->Error(OpenFailureMessage(error));
        throw;
    }
    m_active = true;
    m_deviceLost = false;
    m_lastFailure = {};
    m_trace.Clear();
}

// The fixed notice, then the system's reason when there is one, so the
// operator learns e.g. that the device is missing or needs a group membership.
QString TQelmIBusComm::OpenFailureMessage(const ECommsError& error) const
{
    QString message = Tr("QelmIBus", "OpenFailed", "Error opening %1!").arg(CommName()) + QStringLiteral("\r\n")
                      + Tr("QelmIBus", "SelectOtherPort", "please select other ports.");
    if (!error.Reason().empty())
        message += QStringLiteral("\r\n\r\n") + QString::fromStdString(error.Reason());
    return message;
}

void TQelmIBusComm::Abort()
{
    m_abort = true;
    WakeWaitingLoop();
}

// --- handlers ---

void TQelmIBusComm::OnReceiveData(const quint8* data, quint16 length)
{
    if (data == nullptr)
        return;
    if (!m_receiver.Feed({data, length}))
        return;
    if (m_traceEnabled)
        m_trace.AddReceiveBlock(m_receiver.CompletedBlock());
    WakeWaitingLoop();
}

void TQelmIBusComm::OnSendComplete()
{
    m_sendComplete = true;
    WakeWaitingLoop();
}

void TQelmIBusComm::OnReplyTimer()
{
    m_timerExpired = true;
    WakeWaitingLoop();
}

void TQelmIBusComm::OnHangup()
{
    m_deviceLost = true;
    WakeWaitingLoop();
}

// --- link mechanics ---

template <typename Condition>
void TQelmIBusComm::WaitUntil(Condition done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TQelmIBusComm::SendRaw(std::span<const quint8> bytes)
{
    m_sendComplete = false;
    const quint16 length = static_cast<quint16>(std::min<std::size_t>(bytes.size(), 0xFFFF));
    m_bytesInFlight = length;
    m_sentClock.start();
    m_writeRefused = m_deviceLost || !m_device->WriteBytes(bytes.data(), length);
    // Only bytes the device took are traffic worth recording.
    if (m_traceEnabled && !m_writeRefused)
        m_trace.AddSendBlock(bytes.first(length));
}

void TQelmIBusComm::TransmitFrame()
{
    const Frame::Bytes frame = Frame::EncodeFrame(m_payload);
    std::copy(frame.begin(), frame.end(), m_sendBuffer.begin());
    m_sendBuffer[Frame::kFrameBytes] = Frame::kTrailerByte;
    SendRaw(m_sendBuffer);
}

void TQelmIBusComm::ResetReceiver()
{
    m_abort = false;
    m_receiver.Reset();
}

qint64 TQelmIBusComm::WireTime(std::size_t bytes) const
{
    constexpr qint64 kBitsPerByte = 10; // start, eight data bits, stop
    const qint64 rate = qMax<qint64>(m_device->BaudRate(), kSyncRate);
    return qint64(bytes) * kBitsPerByte * 1000 / rate;
}

int TQelmIBusComm::SendTimeLimit(std::size_t bytes) const
{
    // Three times the wire time, and two seconds for a busy machine to pass
    // the report on.
    constexpr qint64 kSlack = 2000;
    return int(3 * WireTime(bytes) + kSlack);
}

int TQelmIBusComm::RemainingWireTime() const
{
    if (!m_sentClock.isValid())
        return 0;
    return int(qMax<qint64>(0, WireTime(m_bytesInFlight) - m_sentClock.elapsed()));
}

bool TQelmIBusComm::WaitUntilSent()
{
    // A device that refused the bytes (port not open, cable pulled) never
    // reports them sent; waiting for that report would hang the program, so
    // the transmission fails at once instead. A hang-up or a report that
    // never comes ends the wait too.
    if (m_writeRefused)
        return false;
    m_timerExpired = false;
    m_replyTimer.start(SendTimeLimit(m_bytesInFlight));
    WaitUntil([this] { return m_sendComplete || m_abort || m_deviceLost || m_timerExpired; });
    m_replyTimer.stop();
    return m_sendComplete && !m_abort && !m_deviceLost;
}

bool TQelmIBusComm::AttemptsOver(int attempt, int lastAttempt) const
{
    return m_abort || m_deviceLost || attempt >= lastAttempt;
}

bool TQelmIBusComm::GiveUp(WaitResult last, const Answers& answers, int tries, int intervalMs)
{
    using Cause = LinkFailure::Cause;
    Cause cause = Cause::NoAnswer;
    if (last == WaitResult::Aborted || (m_abort && !m_deviceLost))
        cause = Cause::Aborted;
    else if (m_deviceLost)
        cause = Cause::DeviceLost;
    else if (answers.damaged)
        cause = Cause::Damaged;
    else if (answers.refused || last == WaitResult::Rejected)
        cause = Cause::Refused;
    m_lastFailure = {cause, tries, intervalMs};
    m_abort = true;
    return false;
}

TQelmIBusComm::WaitResult TQelmIBusComm::WaitReply(int interval)
{
    ResetReceiver();
    // A refused transmission counts as a failed attempt, never as an answer,
    // not even as the silence that means success in broadcast mode.
    if (!WaitUntilSent())
        return m_abort ? WaitResult::Aborted : WaitResult::TimedOut;

    m_timerExpired = false;
    m_replyTimer.start(qMax(0, interval) + RemainingWireTime());
    WaitUntil([this] { return m_timerExpired || m_abort || m_deviceLost || m_receiver.IsComplete(); });
    m_replyTimer.stop();

    if (m_abort)
        return WaitResult::Aborted;
    // Silence from a line that is gone is no answer, not even in broadcast mode.
    if (m_deviceLost && !m_receiver.IsComplete())
        return WaitResult::TimedOut;
    if (m_timerExpired)
        return m_broadcast ? WaitResult::Acknowledged : WaitResult::TimedOut;
    if (m_receiver.AckByte() == Frame::kRejected)
        return WaitResult::Rejected;
    if (m_receiver.AckByte() == Frame::kAccepted)
        return WaitResult::Acknowledged;
    return WaitResult::FrameReceived;
}

void TQelmIBusComm::TraceRetry(int retry)
{
    if (m_traceEnabled)
        m_trace.AddRetryMarker(retry);
}

bool TQelmIBusComm::SendFrame()
{
    m_lastFailure = {};
    if (m_broadcast) {
        TransmitFrame();
        SetReceiveMode(LinkReceiver::Mode::Ack);
        if (const WaitResult result = WaitReply(m_broadcastInterval); static_cast<int>(result) < 0)
            return GiveUp(result, {}, 1, m_broadcastInterval);
        return true;
    }
    Answers answers;
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0)
            TraceRetry(attempt);
        TransmitFrame();
        SetReceiveMode(LinkReceiver::Mode::Ack);
        const WaitResult result = WaitReply(m_retryInterval);
        answers.refused = answers.refused || result == WaitResult::Rejected;
        // The limit is tested before the outcome: the last transmission's
        // answer is not used.
        if (AttemptsOver(attempt, m_retryCount))
            return GiveUp(result, answers, attempt + 1, m_retryInterval);
        if (result == WaitResult::Acknowledged)
            return true;
    }
}

bool TQelmIBusComm::ExchangeFrame()
{
    m_lastFailure = {};
    Answers answers;
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0)
            TraceRetry(attempt);
        m_payload = m_savedRequest;
        TransmitFrame();
        m_receiver.SetExpectedHeader({m_sendBuffer[1], m_sendBuffer[2], m_sendBuffer[3]});
        SetReceiveMode(LinkReceiver::Mode::Frame);
        const WaitResult result = WaitReply(m_retryInterval);
        bool checksumError = false;
        if (result == WaitResult::FrameReceived) {
            m_payload = Frame::DecodeFrame(m_receiver.FrameBytes(), checksumError);
            if (!checksumError)
                return true;
        }
        answers.damaged = answers.damaged || checksumError;
        answers.refused = answers.refused || result == WaitResult::Rejected;
        if (AttemptsOver(attempt, m_retryCount))
            return GiveUp(result, answers, attempt + 1, m_retryInterval);
    }
}

// --- register commands ---

quint8 TQelmIBusComm::ScaleMarker() const
{
    return m_scaleType == tbs5120 ? RegisterPayloads::kScaleMarker5120 : RegisterPayloads::kScaleMarker1024;
}

bool TQelmIBusComm::RestoreLineRate()
{
    return SetLineRate(BaudTable[m_baudRate]);
}

bool TQelmIBusComm::LogIn(quint32 accessCode, bool programLoad)
{
    const QDateTime now = m_clock();
    const auto rateIndex = static_cast<quint8>(m_baudRate);

    m_lastFailure = {};
    if (m_broadcast) {
        m_payload = RegisterPayloads::BroadcastLogIn(now, rateIndex, ScaleMarker(), m_broadcastAddresses);
        if (!RestoreLineRate())
            return GiveUp(WaitResult::TimedOut, {}, 0, 0);
        TransmitFrame();
        SetReceiveMode(LinkReceiver::Mode::Ack);
        if (const WaitResult result = WaitReply(m_broadcastInterval); static_cast<int>(result) < 0)
            return GiveUp(result, {}, 1, m_broadcastInterval);
        return ReadStatus();
    }

    m_payload = RegisterPayloads::LogIn(accessCode, now, rateIndex, programLoad);
    Answers answers;
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0)
            TraceRetry(attempt);
        WaitResult result = WaitResult::TimedOut;
        if (SetLineRate(HuntingRate(attempt))) {
            TransmitFrame();
            SetReceiveMode(LinkReceiver::Mode::Ack);
            result = WaitReply(kLogInInterval);
        }
        answers.refused = answers.refused || result == WaitResult::Rejected;
        // A register that refuses a program load means it: no more attempts.
        if (programLoad && result == WaitResult::Rejected)
            return GiveUp(result, answers, attempt + 1, kLogInInterval);
        if (AttemptsOver(attempt, kLogInLastAttempt))
            return GiveUp(result, answers, attempt + 1, kLogInInterval);
        if (result == WaitResult::Acknowledged)
            break;
    }
    if (!RestoreLineRate())
        return GiveUp(WaitResult::TimedOut, {}, 0, 0);
    return ReadStatus();
}

TQelmIBusComm::WaitResult TQelmIBusComm::LogInAt(TBaudRate rate, quint32 accessCode, int transmissions)
{
    SetBaudRate(rate);
    m_payload = RegisterPayloads::LogIn(accessCode, m_clock(), static_cast<quint8>(m_baudRate), false);
    WaitResult result = WaitResult::TimedOut;
    for (int attempt = 0; attempt < transmissions && !m_deviceLost; ++attempt) {
        if (attempt > 0)
            TraceRetry(attempt);
        TransmitFrame();
        SetReceiveMode(LinkReceiver::Mode::Ack);
        result = WaitReply(kLogInInterval);
        if (result == WaitResult::Acknowledged || result == WaitResult::Aborted)
            break;
    }
    return result;
}

bool TQelmIBusComm::LogOut(quint32 accessCode, quint8 failed)
{
    const Frame::Payload payload = RegisterPayloads::LogOut(accessCode, failed);
    // A port that is gone takes no log-out: there is nothing to wait for.
    for (int attempt = 0; attempt < kLogOutAttempts && !m_deviceLost; ++attempt) {
        m_payload = payload;
        TransmitFrame();
        SetReceiveMode(LinkReceiver::Mode::Ack);
        if (WaitReply(kLogOutInterval) == WaitResult::Acknowledged)
            break;
    }
    return true;
}

bool TQelmIBusComm::ReadStatus()
{
    m_packetData.fill(0);
    m_packetData[2] = static_cast<quint8>(RegisterPayloads::kStatusParameter);
    return RequestPacket(RegisterPayloads::kLinkCommand, RegisterPayloads::kStatusParameter);
}

bool TQelmIBusComm::SendPacket(quint8 command, quint16 parameter)
{
    m_payload = RegisterPayloads::Packet(command, parameter,
                                         std::span<const quint8>(m_packetData).first<Frame::kDataBytes>());
    return SendFrame();
}

bool TQelmIBusComm::RequestPacket(quint8 command, quint16 parameter)
{
    m_savedRequest = RegisterPayloads::Packet(command, parameter,
                                              std::span<const quint8>(m_packetData).first<Frame::kDataBytes>());
    const bool received = ExchangeFrame();
    const auto data = m_payload.begin() + Frame::kDataOffset;
    std::copy(data, data + Frame::kDataBytes, m_packetData.begin());
    return received;
}

bool TQelmIBusComm::BeginProgramLoad(quint16 value)
{
    m_payload = RegisterPayloads::ProgramLoad(RegisterPayloads::kBeginProgramLoadSubCode, value);
    return SendFrame();
}

bool TQelmIBusComm::EndProgramLoad(quint16 value)
{
    m_payload = RegisterPayloads::ProgramLoad(RegisterPayloads::kEndProgramLoadSubCode, value);
    return SendFrame();
}

bool TQelmIBusComm::SendPatternAtSyncRate()
{
    static constexpr auto kPattern = [] {
        std::array<quint8, kSyncPatternBytes> pattern{};
        pattern.fill(kSyncPatternByte);
        return pattern;
    }();
    if (!SetLineRate(kSyncRate))
        return false;
    SendRaw(kPattern);
    return WaitUntilSent();
}

bool TQelmIBusComm::Pause(int ms)
{
    QTimer pause;
    pause.setSingleShot(true);
    pause.setTimerType(Qt::PreciseTimer);
    bool elapsed = false;
    connect(&pause, &QTimer::timeout, this, [&elapsed] {
        elapsed = true;
        WakeWaitingLoop();
    });
    pause.start(ms);
    WaitUntil([&] { return elapsed || m_abort || m_deviceLost; });
    return !m_abort && !m_deviceLost;
}

// Both patterns go back to the configured rate on every way out, an abort
// included, so that no later exchange is left at the pattern's rate.
bool TQelmIBusComm::SendSyncPattern()
{
    m_abort = false;
    const bool sent = SendPatternAtSyncRate();
    return RestoreLineRate() && sent;
}

bool TQelmIBusComm::SendDoubleSyncPattern()
{
    m_abort = false;
    const bool sent = SendPatternAtSyncRate() && Pause(kSyncPause) && SendPatternAtSyncRate();
    return RestoreLineRate() && sent;
}
