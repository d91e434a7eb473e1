#include "serial/Comm.h"

#include "serial/OpenFailure.h"
#include "serial/PortResolver.h"
#include "serial/StopSignal.h"
#include "serial/WriteThread.h"

#include <QFile>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

const char* const kErrorOpening = "Error opening serial port";
const char* const kNotCommHandle = "File handle is not a comm handle ";
const char* const kNoEvent = "Unable to create event";
const char* const kNoReadThread = "Unable to create read thread";
const char* const kNoWriteThread = "Unable to create write thread";

// Lets the driver settle after new line settings.
constexpr std::chrono::milliseconds kSettlePause{5};

} // namespace

TComm::TComm(QObject* parent)
    : QObject(parent), m_endpoint(std::make_unique<TCommEndpoint>(
                           [this](const TCommNoticeEvent& notice) { Dispatch(notice); }))
{
}

TComm::~TComm()
{
    // Worker threads must not outlive the port, the signal and the endpoint.
    ClosePort();
}

void TComm::OpenPort()
{
    if (IsOpen())
        return;

    TPosixPort port;
    const QByteArray path = QFile::encodeName(ResolvePortName(m_commName));
    int error = 0;
    switch (port.Open(path, &error)) {
    case TPosixPort::TOpenResult::Opened:
        break;
    case TPosixPort::TOpenResult::CannotOpen:
        throw ECommsError(kErrorOpening, DescribeOpenFailure(path, error));
    case TPosixPort::TOpenResult::NotATerminal:
        throw ECommsError(kNotCommHandle, path.toStdString() + " is not a serial device.");
    }
    // Driver buffer sizes have no counterpart here: the tty layer sizes its own.
    port.FlushInput();
    port.FlushOutput();

    std::unique_ptr<TStopSignal> stop;
    try {
        stop = std::make_unique<TStopSignal>();
    } catch (const std::system_error&) {
        throw ECommsError(kNoEvent);
    }

    m_port = std::move(port);
    ApplyTimeouts();
    if (const int error = ApplyLineSettings(); error != 0) {
        m_port.Close();
        throw ECommsError(kErrorOpening, path.toStdString() + " does not take the line settings ("
                                             + std::strerror(error) + ").");
    }
    m_stop = std::move(stop);
    m_hangupReported = false;
    const TCommNotifier notifier(m_endpoint.get(), ++m_session);

    try {
        m_readThread = std::make_unique<TReadThread>(m_port, *m_stop, m_readRules, notifier);
    } catch (const std::system_error&) {
        Release();
        throw ECommsError(kNoReadThread);
    }
    try {
        m_writeThread = std::make_unique<TWriteThread>(m_port, *m_stop, notifier);
    } catch (const std::system_error&) {
        StopReadThread();
        Release();
        throw ECommsError(kNoWriteThread);
    }
}

void TComm::ClosePort()
{
    if (!IsOpen())
        return;
    StopReadThread();
    StopWriteThread();
    Release();
}

void TComm::StopReadThread()
{
    if (!m_readThread)
        return;
    m_stop->Signal();
    m_port.FlushInput();
    m_readThread.reset();
}

void TComm::StopWriteThread()
{
    if (!m_writeThread)
        return;
    // Signal before flushing: the thread relies on that order so that its
    // drain never waits for bytes that are already discarded.
    m_stop->Signal();
    m_port.FlushOutput();
    m_writeThread.reset();
}

void TComm::Release()
{
    m_stop.reset();
    m_port.Close();
}

bool TComm::WriteBytes(const quint8* data, quint16 length)
{
    if (!m_writeThread || length == 0)
        return false;
    return m_writeThread->Queue(QByteArray(reinterpret_cast<const char*>(data), length));
}

void TComm::SetReceiveHandler(ReceiveHandler handler)
{
    if (!handler) {
        m_onReceiveData = nullptr;
        return;
    }
    m_onReceiveData = [handler = std::move(handler)](TComm*, const quint8* buffer, quint16 length) {
        handler(buffer, length);
    };
}

void TComm::SetSendCompleteHandler(NotifyHandler handler)
{
    if (!handler) {
        m_onSendDataEmpty = nullptr;
        return;
    }
    m_onSendDataEmpty = [handler = std::move(handler)](TComm*) { handler(); };
}

void TComm::SetHangupHandler(NotifyHandler handler)
{
    if (!handler) {
        m_onRequestHangup = nullptr;
        return;
    }
    m_onRequestHangup = [handler = std::move(handler)](TComm*) { handler(); };
}

void TComm::SetBaudRate(quint32 rate)
{
    if (!IsBaudRateSupported(rate))
        throw std::invalid_argument("Unsupported baud rate " + std::to_string(rate));
    SetLine(&TLine::baudRate, rate);
}

void TComm::SetTimeout(quint32 TTimes::*field, quint32 value)
{
    if (m_timeouts.*field == value)
        return;
    m_timeouts.*field = value;
    if (IsOpen())
        ApplyTimeouts();
}

int TComm::ApplyLineSettings()
{
    m_readRules.discardNul = m_line.ignoreNullChar;
    const int error = m_port.ApplyLineSettings(m_line);
    std::this_thread::sleep_for(kSettlePause);
    return error;
}

void TComm::ApplyTimeouts()
{
    // The receive thread cuts chunks by these; writes have no time limit here,
    // a block is always written whole.
    m_readRules.intervalMs = m_timeouts.readIntervalTimeout;
    m_readRules.totalMultiplierMs = m_timeouts.readTotalTimeoutMultiplier;
    m_readRules.totalConstantMs = m_timeouts.readTotalTimeoutConstant;
}

void TComm::Dispatch(const TCommNoticeEvent& notice)
{
    if (!IsOpen() || notice.Session() != m_session)
        return;
    switch (notice.Code()) {
    case TCommNotification::DataReceived:
        if (m_onReceiveData)
            m_onReceiveData(this, reinterpret_cast<const quint8*>(notice.Data().constData()),
                            static_cast<quint16>(notice.Data().size()));
        break;
    case TCommNotification::ReceiveError:
        if (m_onReceiveError)
            m_onReceiveError(this, notice.Bits());
        break;
    case TCommNotification::RequestHangup:
        // Both threads may report the same loss; the owner hears of it once.
        if (m_hangupReported)
            break;
        m_hangupReported = true;
        if (m_onRequestHangup)
            m_onRequestHangup(this);
        break;
    case TCommNotification::ModemStateChange:
        if (m_onModemStateChange)
            m_onModemStateChange(this, notice.Bits());
        break;
    case TCommNotification::SendDataEmpty:
        if (m_onSendDataEmpty)
            m_onSendDataEmpty(this);
        break;
    }
}
