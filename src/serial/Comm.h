#pragma once

#include "serial/CommEndpoint.h"
#include "serial/CommsError.h"
#include "serial/LineSettings.h"
#include "serial/PosixPort.h"
#include "serial/ReadThread.h"
#include "serial/SerialDevice.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <system_error>

class TStopSignal;
class TWriteThread;

// The serial device component: opens a port by name, applies the line
// settings and time-outs, and runs a receive and a transmit thread while the
// port is open. Everything the threads learn reaches the events below on the
// user-interface thread, in order, while that thread processes its events.
//
// Setters store a value only when it differs; on an open port a line setting
// or time-out takes effect at once. A baud rate the host does not offer is
// refused with std::invalid_argument; if an open port refuses new settings,
// the property keeps its old value and std::system_error is raised.
//
// Destroying the component closes the port. Event handlers must not destroy
// it; notifications of an earlier opening, or arriving after ClosePort, are
// dropped. Line-error and modem events have no source on this host and do
// not fire.
class TComm : public QObject, public ISerialDevice
{
    Q_OBJECT
    Q_PROPERTY(QString CommName READ CommName WRITE SetCommName)
    Q_PROPERTY(quint32 BaudRate READ BaudRate WRITE SetBaudRate)
    Q_PROPERTY(bool ParityCheck READ ParityCheck WRITE SetParityCheck)
    Q_PROPERTY(bool Outx_CtsFlow READ Outx_CtsFlow WRITE SetOutx_CtsFlow)
    Q_PROPERTY(bool Outx_DsrFlow READ Outx_DsrFlow WRITE SetOutx_DsrFlow)
    Q_PROPERTY(SerialLine::TDtrControl DtrControl READ DtrControl WRITE SetDtrControl)
    Q_PROPERTY(bool DsrSensitivity READ DsrSensitivity WRITE SetDsrSensitivity)
    Q_PROPERTY(bool TxContinueOnXoff READ TxContinueOnXoff WRITE SetTxContinueOnXoff)
    Q_PROPERTY(bool Outx_XonXoffFlow READ Outx_XonXoffFlow WRITE SetOutx_XonXoffFlow)
    Q_PROPERTY(bool Inx_XonXoffFlow READ Inx_XonXoffFlow WRITE SetInx_XonXoffFlow)
    Q_PROPERTY(
        bool ReplaceWhenParityError READ ReplaceWhenParityError WRITE SetReplaceWhenParityError)
    Q_PROPERTY(bool IgnoreNullChar READ IgnoreNullChar WRITE SetIgnoreNullChar)
    Q_PROPERTY(SerialLine::TRtsControl RtsControl READ RtsControl WRITE SetRtsControl)
    Q_PROPERTY(quint16 XonLimit READ XonLimit WRITE SetXonLimit)
    Q_PROPERTY(quint16 XoffLimit READ XoffLimit WRITE SetXoffLimit)
    Q_PROPERTY(SerialLine::TByteSize ByteSize READ ByteSize WRITE SetByteSize)
    Q_PROPERTY(SerialLine::TParity Parity READ Parity WRITE SetParity)
    Q_PROPERTY(SerialLine::TStopBits StopBits READ StopBits WRITE SetStopBits)
    Q_PROPERTY(char XonChar READ XonChar WRITE SetXonChar)
    Q_PROPERTY(char XoffChar READ XoffChar WRITE SetXoffChar)
    Q_PROPERTY(char ReplacedChar READ ReplacedChar WRITE SetReplacedChar)
    Q_PROPERTY(quint32 ReadIntervalTimeout READ ReadIntervalTimeout WRITE SetReadIntervalTimeout)
    Q_PROPERTY(quint32 ReadTotalTimeoutMultiplier READ ReadTotalTimeoutMultiplier WRITE
                   SetReadTotalTimeoutMultiplier)
    Q_PROPERTY(quint32 ReadTotalTimeoutConstant READ ReadTotalTimeoutConstant WRITE
                   SetReadTotalTimeoutConstant)
    Q_PROPERTY(quint32 WriteTotalTimeoutMultiplier READ WriteTotalTimeoutMultiplier WRITE
                   SetWriteTotalTimeoutMultiplier)
    Q_PROPERTY(quint32 WriteTotalTimeoutConstant READ WriteTotalTimeoutConstant WRITE
                   SetWriteTotalTimeoutConstant)

public:
    using TDtrControl = SerialLine::TDtrControl;
    using TRtsControl = SerialLine::TRtsControl;
    using TByteSize = SerialLine::TByteSize;
    using TParity = SerialLine::TParity;
    using TStopBits = SerialLine::TStopBits;

    using TReceiveDataEvent =
        std::function<void(TComm* sender, const quint8* buffer, quint16 bufferLength)>;
    using TReceiveErrorEvent = std::function<void(TComm* sender, quint32 eventMask)>;
    using TModemStateChangeEvent = std::function<void(TComm* sender, quint32 modemEvent)>;
    using TNotifyEvent = std::function<void(TComm* sender)>;
    using TSendDataEmptyEvent = TNotifyEvent;

    // Modem bits of OnModemStateChange.
    static constexpr quint32 kRing = 4;
    static constexpr quint32 kCarrierDetect = 8;

    explicit TComm(QObject* parent = nullptr);
    ~TComm() override;

    // Throws ECommsError and stays closed on failure; does nothing when open.
    void OpenPort() override;
    // Stops the receive thread, then the transmit thread, and releases the
    // port. Does nothing when closed.
    void ClosePort() override;
    bool IsOpen() const override { return m_port.IsOpen(); }
    // Copies and queues the bytes; never waits. False when the transmit
    // thread is not running or `length` is 0.
    bool WriteBytes(const quint8* data, quint16 length) override;

    static bool IsBaudRateSupported(quint32 rate) { return TPosixPort::IsBaudRateSupported(rate); }

    // Events. An unassigned one is skipped.
    void SetOnReceiveData(TReceiveDataEvent handler) { m_onReceiveData = std::move(handler); }
    void SetOnReceiveError(TReceiveErrorEvent handler) { m_onReceiveError = std::move(handler); }
    void SetOnModemStateChange(TModemStateChangeEvent handler)
    {
        m_onModemStateChange = std::move(handler);
    }
    void SetOnRequestHangup(TNotifyEvent handler) { m_onRequestHangup = std::move(handler); }
    void SetOnSendDataEmpty(TSendDataEmptyEvent handler) { m_onSendDataEmpty = std::move(handler); }

    // The link layer's view: OnReceiveData and OnSendDataEmpty.
    void SetReceiveHandler(ReceiveHandler handler) override;
    void SetSendCompleteHandler(NotifyHandler handler) override;
    void SetHangupHandler(NotifyHandler handler) override;

    QString CommName() const override { return m_commName; }
    void SetCommName(const QString& name) override { m_commName = name; }
    quint32 BaudRate() const override { return m_line.baudRate; }
    void SetBaudRate(quint32 rate) override;

    bool ParityCheck() const { return m_line.parityCheck; }
    void SetParityCheck(bool on) { SetLine(&TLine::parityCheck, on); }
    bool Outx_CtsFlow() const { return m_line.outxCtsFlow; }
    void SetOutx_CtsFlow(bool on) { SetLine(&TLine::outxCtsFlow, on); }
    bool Outx_DsrFlow() const { return m_line.outxDsrFlow; }
    void SetOutx_DsrFlow(bool on) { SetLine(&TLine::outxDsrFlow, on); }
    TDtrControl DtrControl() const { return m_line.dtrControl; }
    void SetDtrControl(TDtrControl control) { SetLine(&TLine::dtrControl, control); }
    bool DsrSensitivity() const { return m_line.dsrSensitivity; }
    void SetDsrSensitivity(bool on) { SetLine(&TLine::dsrSensitivity, on); }
    bool TxContinueOnXoff() const { return m_line.txContinueOnXoff; }
    void SetTxContinueOnXoff(bool on) { SetLine(&TLine::txContinueOnXoff, on); }
    bool Outx_XonXoffFlow() const { return m_line.outxXonXoffFlow; }
    void SetOutx_XonXoffFlow(bool on) { SetLine(&TLine::outxXonXoffFlow, on); }
    bool Inx_XonXoffFlow() const { return m_line.inxXonXoffFlow; }
    void SetInx_XonXoffFlow(bool on) { SetLine(&TLine::inxXonXoffFlow, on); }
    bool ReplaceWhenParityError() const { return m_line.replaceWhenParityError; }
    void SetReplaceWhenParityError(bool on) { SetLine(&TLine::replaceWhenParityError, on); }
    bool IgnoreNullChar() const { return m_line.ignoreNullChar; }
    void SetIgnoreNullChar(bool on) { SetLine(&TLine::ignoreNullChar, on); }
    TRtsControl RtsControl() const { return m_line.rtsControl; }
    void SetRtsControl(TRtsControl control) { SetLine(&TLine::rtsControl, control); }
    quint16 XonLimit() const { return m_line.xonLimit; }
    void SetXonLimit(quint16 limit) { SetLine(&TLine::xonLimit, limit); }
    quint16 XoffLimit() const { return m_line.xoffLimit; }
    void SetXoffLimit(quint16 limit) { SetLine(&TLine::xoffLimit, limit); }
    TByteSize ByteSize() const { return m_line.byteSize; }
    void SetByteSize(TByteSize size) { SetLine(&TLine::byteSize, size); }
    TParity Parity() const { return m_line.parity; }
    void SetParity(TParity parity) { SetLine(&TLine::parity, parity); }
    TStopBits StopBits() const { return m_line.stopBits; }
    void SetStopBits(TStopBits bits) { SetLine(&TLine::stopBits, bits); }
    char XonChar() const { return m_line.xonChar; }
    void SetXonChar(char c) { SetLine(&TLine::xonChar, c); }
    char XoffChar() const { return m_line.xoffChar; }
    void SetXoffChar(char c) { SetLine(&TLine::xoffChar, c); }
    char ReplacedChar() const { return m_line.replacedChar; }
    void SetReplacedChar(char c) { SetLine(&TLine::replacedChar, c); }

    quint32 ReadIntervalTimeout() const { return m_timeouts.readIntervalTimeout; }
    void SetReadIntervalTimeout(quint32 ms) { SetTimeout(&TTimes::readIntervalTimeout, ms); }
    quint32 ReadTotalTimeoutMultiplier() const { return m_timeouts.readTotalTimeoutMultiplier; }
    void SetReadTotalTimeoutMultiplier(quint32 ms)
    {
        SetTimeout(&TTimes::readTotalTimeoutMultiplier, ms);
    }
    quint32 ReadTotalTimeoutConstant() const { return m_timeouts.readTotalTimeoutConstant; }
    void SetReadTotalTimeoutConstant(quint32 ms)
    {
        SetTimeout(&TTimes::readTotalTimeoutConstant, ms);
    }
    quint32 WriteTotalTimeoutMultiplier() const { return m_timeouts.writeTotalTimeoutMultiplier; }
    void SetWriteTotalTimeoutMultiplier(quint32 ms)
    {
        SetTimeout(&TTimes::writeTotalTimeoutMultiplier, ms);
    }
    quint32 WriteTotalTimeoutConstant() const { return m_timeouts.writeTotalTimeoutConstant; }
    void SetWriteTotalTimeoutConstant(quint32 ms)
    {
        SetTimeout(&TTimes::writeTotalTimeoutConstant, ms);
    }

private:
    using TLine = SerialLine::TLineSettings;
    using TTimes = SerialLine::TTimeouts;

    template <typename T> void SetLine(T TLine::*field, T value);
    void SetTimeout(quint32 TTimes::*field, quint32 value);
    // 0 or an errno value.
    int ApplyLineSettings();
    void ApplyTimeouts();
    void StopReadThread();
    void StopWriteThread();
    void Release();
    void Dispatch(const TCommNoticeEvent& notice);

    QString m_commName = QStringLiteral("COM2");
    TLine m_line;
    TTimes m_timeouts;

    TReceiveDataEvent m_onReceiveData;
    TReceiveErrorEvent m_onReceiveError;
    TModemStateChangeEvent m_onModemStateChange;
    TNotifyEvent m_onRequestHangup;
    TSendDataEmptyEvent m_onSendDataEmpty;

    std::unique_ptr<TCommEndpoint> m_endpoint;
    TReadRules m_readRules;
    quint64 m_session = 0;
    bool m_hangupReported = false;
    // Declared last so they go first: the threads use the port and the signal.
    TPosixPort m_port;
    std::unique_ptr<TStopSignal> m_stop;
    std::unique_ptr<TReadThread> m_readThread;
    std::unique_ptr<TWriteThread> m_writeThread;
};

template <typename T> void TComm::SetLine(T TLine::*field, T value)
{
    if (m_line.*field == value)
        return;
    const T previous = m_line.*field;
    m_line.*field = value;
    if (!IsOpen())
        return;
    if (const int error = ApplyLineSettings(); error != 0) {
        m_line.*field = previous;
        ApplyLineSettings();
        throw std::system_error(error, std::generic_category(), "Cannot apply the line settings");
    }
}
