#pragma once

#include "link/Frame.h"
#include "link/LinkFailure.h"
#include "link/LinkReceiver.h"
#include "link/LinkTrace.h"
#include "link/RegisterPayloads.h"
#include "serial/SerialDevice.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <span>

class IMessageBox;

// The component through which the program talks to the register: it opens
// and closes the serial port, sends frames and waits for the register's
// acknowledgement or reply frame while the windows stay alive, retries, keeps
// the link trace and offers the register commands.
//
// Everything runs on the user-interface thread. Every wait processes pending
// events until its condition holds, so received chunks, the reply timer and a
// Cancel press (Abort) all take effect inside the wait. Operations must not be
// nested: a command started from an event processed during another command's
// wait would share the frame buffer and the receiver with it.
class ECommsError;

class TQelmIBusComm : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString CommName READ CommName WRITE SetCommName)
    Q_PROPERTY(bool isActive READ isActive)
    Q_PROPERTY(TBaudRate BaudRate READ BaudRate WRITE SetBaudRate)
    Q_PROPERTY(bool BroadCast READ BroadCast WRITE SetBroadCast)
    Q_PROPERTY(TBroadCastScaleType BroadCastScaleType READ BroadCastScaleType WRITE SetBroadCastScaleType)
    Q_PROPERTY(int BroadCastInterval READ BroadCastInterval WRITE SetBroadCastInterval)
    Q_PROPERTY(int RetryInterval READ RetryInterval WRITE SetRetryInterval)
    Q_PROPERTY(int RetryCount READ RetryCount WRITE SetRetryCount)
    Q_PROPERTY(bool TraceEnabled READ TraceEnabled WRITE SetTraceEnabled)

public:
    enum TBaudRate { tbr9600, tbr19200, tbr38400, tbr57600, tbr115200 };
    Q_ENUM(TBaudRate)
    enum TBroadCastScaleType { tbs1024, tbs5120 };
    Q_ENUM(TBroadCastScaleType)

    enum class WaitResult { Aborted = -3, TimedOut = -2, Rejected = -1, Acknowledged = 1, FrameReceived = 2 };

    // Line rate of each TBaudRate index.
    static constexpr std::array<quint32, 5> BaudTable{9600, 19200, 38400, 57600, 115200};
    static constexpr quint32 kSyncRate = 4800;
    static constexpr int kMaxRetryCount = 10;
    // The access code the program logs in and out with.
    static constexpr quint32 kAccessCode = 7350;
    static constexpr int kLogInInterval = 800;    // ms, per log-in attempt
    static constexpr int kLogInLastAttempt = 20;  // attempts 0..20
    static constexpr int kLogOutInterval = 100;   // ms, per log-out attempt
    static constexpr int kLogOutAttempts = 3;
    static constexpr int kSyncPatternBytes = 64;
    static constexpr quint8 kSyncPatternByte = 0x66;
    static constexpr int kSyncPause = 1000;       // ms between the two patterns

    // PacketData: the 256 data bytes of a package and the 56 bytes after
    // them that the status request also clears.
    static constexpr std::size_t kPacketAreaBytes = Frame::kDataBytes + 56;
    using PacketArea = std::array<quint8, kPacketAreaBytes>;
    using Clock = std::function<QDateTime()>;

    explicit TQelmIBusComm(std::unique_ptr<ISerialDevice> device, QObject* parent = nullptr);
    // Closes the port (without writing the trace) before the device goes.
    ~TQelmIBusComm() override;

    TQelmIBusComm(const TQelmIBusComm&) = delete;
    TQelmIBusComm& operator=(const TQelmIBusComm&) = delete;

    // --- properties ---
    QString CommName() const;
    void SetCommName(const QString& name);
    bool isActive() const { return m_active; }
    TBaudRate BaudRate() const { return m_baudRate; }
    // Also sets the device's line rate at once; values outside the table are
    // ignored. A port that refuses the rate counts as gone (see DeviceLost).
    void SetBaudRate(TBaudRate rate);
    bool BroadCast() const { return m_broadcast; }
    void SetBroadCast(bool on) { m_broadcast = on; }
    TBroadCastScaleType BroadCastScaleType() const { return m_scaleType; }
    void SetBroadCastScaleType(TBroadCastScaleType type);
    int BroadCastInterval() const { return m_broadcastInterval; }
    void SetBroadCastInterval(int ms) { m_broadcastInterval = qMax(0, ms); }
    int RetryInterval() const { return m_retryInterval; }
    void SetRetryInterval(int ms) { m_retryInterval = qMax(0, ms); }
    int RetryCount() const { return m_retryCount; }
    // Clamped to 0..10.
    void SetRetryCount(int count) { m_retryCount = qBound(0, count, kMaxRetryCount); }
    bool TraceEnabled() const { return m_traceEnabled; }
    void SetTraceEnabled(bool on) { m_traceEnabled = on; }
    // Whether closing adds the trace at the end of DEBUG.LOG instead of
    // replacing the file (off by default). The connection check appends, so
    // the trace of the transfer it helps with stays.
    bool TraceAppends() const { return m_traceAppends; }
    void SetTraceAppends(bool on) { m_traceAppends = on; }
    // Where closing the port writes the trace, asked at each closing (the
    // run's settings file may be chosen after the link was made); none writes
    // no trace file.
    void SetTracePath(std::function<QString()> path) { m_tracePath = std::move(path); }

    // Where the port-open error is shown; none means it is only thrown.
    void SetMessageBox(IMessageBox* messageBox) { m_messageBox = messageBox; }
    // The clock the log-in takes the date and time from (the PC's by default).
    void SetClock(Clock clock);

    PacketArea& PacketData() { return m_packetData; }
    const PacketArea& PacketData() const { return m_packetData; }
    RegisterPayloads::AddressList& BroadCastAddresses() { return m_broadcastAddresses; }
    const QStringList& TraceLines() const { return m_trace.Lines(); }

    // --- port ---
    // Opening closes an open port first, then opens it; on success the trace
    // is cleared. An ECommsError is shown as "Error opening <port>!..." and
    // passed on. Closing closes the port and writes the trace to DEBUG.LOG,
    // every time; a file that cannot be written throws std::runtime_error.
    void SetActive(bool active);
    // Ends the current wait; the operation then fails.
    void Abort();
    // True once the open port went away (hang-up, or a line setting or write
    // it refused); every operation then fails at once without waiting, and no
    // device error is ever thrown out of an operation. Reopening clears it.
    bool DeviceLost() const { return m_deviceLost; }
    // Why the last log-in, package or request failed; None after one that
    // succeeded. Log-outs leave it alone, so it survives a failure's log-outs.
    LinkFailure LastFailure() const { return m_lastFailure; }

    // --- register commands ---
    // Logs in, hunting through the line rates, then switches to BaudRate and
    // reads the status block. A 0x55 ends the log-in at once only when a
    // program load follows.
    bool LogIn(quint32 accessCode, bool programLoad = false);
    // A log-in at `rate` alone, for finding the rate a register listens on:
    // the frame asks the register to stay at that rate and is sent up to
    // `transmissions` times until it is acknowledged. No status is read.
    // Leaves BaudRate at `rate`. Aborted when the wait was aborted.
    WaitResult LogInAt(TBaudRate rate, quint32 accessCode, int transmissions);
    // Up to three attempts; always true.
    bool LogOut(quint32 accessCode, quint8 failed);
    // Status request; the reply's data bytes are left in PacketData.
    bool ReadStatus();
    // Sends the first 256 bytes of PacketData; true when acknowledged.
    bool SendPacket(quint8 command, quint16 parameter);
    // Sends the request and copies the reply's 256 data bytes into
    // PacketData; true when a valid reply frame arrived.
    bool RequestPacket(quint8 command, quint16 parameter);
    bool BeginProgramLoad(quint16 value);
    bool EndProgramLoad(quint16 value);
    // 64 x 0x66 at 4800 bit/s, then back to the BaudRate line rate; false
    // when aborted or when the device refused the bytes.
    bool SendSyncPattern();
    // Two patterns one second apart, events processed during the pause.
    bool SendDoubleSyncPattern();

    // --- link mechanics the commands are built on ---
    // Hands the bytes to the device and traces them as a send block.
    void SendRaw(std::span<const quint8> bytes);
    // Encodes the payload area and sends it with the trailing 0xFF.
    void TransmitFrame();
    void ResetReceiver();
    void SetReceiveMode(LinkReceiver::Mode mode) { m_receiver.SetMode(mode); }
    // Waits for the transmission to leave, then up to interval ms for the
    // register's answer in the current receive mode.
    WaitResult WaitReply(int interval);
    // Sends the payload area until acknowledged, with retries.
    bool SendFrame();
    // Sends the saved request until a valid reply frame is in the payload
    // area, with retries.
    bool ExchangeFrame();

    Frame::Payload& Payload() { return m_payload; }
    Frame::Payload& SavedRequest() { return m_savedRequest; }

private:
    QString OpenFailureMessage(const ECommsError& error) const;
    void OnReceiveData(const quint8* data, quint16 length);
    void OnSendComplete();
    void OnReplyTimer();
    void OnHangup();
    // Sets the device's line rate; false (and the device counts as lost) when
    // the port refused it.
    bool SetLineRate(quint32 rate);
    // The longest the device may take to report `bytes` sent at the current
    // rate before the transmission counts as failed.
    int SendTimeLimit(std::size_t bytes) const;
    // The bytes' time on the wire at the current rate, in ms.
    qint64 WireTime(std::size_t bytes) const;
    // What is left of the last transmission's wire time: a port that reports
    // its bytes sent when they reached a USB adapter's buffer has not sent
    // them yet, and the answer cannot come before they are out.
    int RemainingWireTime() const;
    // An attempt loop ends: aborted, device gone, or the last attempt made.
    bool AttemptsOver(int attempt, int lastAttempt) const;
    // What the attempts of one operation heard besides silence.
    struct Answers
    {
        bool refused = false;
        bool damaged = false;
    };
    // Gives up an operation: keeps why and marks the link aborted. A damaged
    // or refused answer to any attempt tells more than the silence of others
    // (a log-in hunting through the rates hears its register at one only).
    // Always false, for the operation to return.
    bool GiveUp(WaitResult last, const Answers& answers, int tries, int intervalMs);

    template <typename Condition>
    void WaitUntil(Condition done);
    bool WaitUntilSent();
    bool SendPatternAtSyncRate();
    bool Pause(int ms);
    void TraceRetry(int retry);
    bool RestoreLineRate();
    quint8 ScaleMarker() const;

    std::unique_ptr<ISerialDevice> m_device;
    IMessageBox* m_messageBox = nullptr;
    Clock m_clock;
    QTimer m_replyTimer;

    bool m_active = false;
    TBaudRate m_baudRate = tbr9600;
    bool m_broadcast = false;
    TBroadCastScaleType m_scaleType = tbs1024;
    int m_broadcastInterval = 200;
    int m_retryInterval = 800;
    int m_retryCount = 6;
    bool m_traceEnabled = false;
    bool m_traceAppends = false;
    std::function<QString()> m_tracePath;

    bool m_abort = false;
    bool m_sendComplete = true;
    bool m_writeRefused = false;
    bool m_timerExpired = false;
    bool m_deviceLost = false;
    LinkFailure m_lastFailure;
    std::size_t m_bytesInFlight = 0;
    QElapsedTimer m_sentClock;

    LinkReceiver m_receiver;
    LinkTrace m_trace;
    std::array<quint8, Frame::kWireBytes> m_sendBuffer{};
    Frame::Payload m_payload{};
    Frame::Payload m_savedRequest{};
    PacketArea m_packetData{};
    RegisterPayloads::AddressList m_broadcastAddresses{};
};
