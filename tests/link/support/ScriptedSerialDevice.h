#pragma once

#include "serial/SerialDevice.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <thread>
#include <vector>

// A serial device that plays the far end from a script. Every accepted write
// is recorded with the line rate it went out at; the send-complete notice and
// the script's answer to it arrive later through the event queue, in order,
// exactly as a real port delivers them.
class ScriptedSerialDevice : public QObject, public ISerialDevice
{
public:
    ~ScriptedSerialDevice() override;

    struct Write {
        QByteArray bytes;
        quint32 rate = 0;
    };
    // The chunks the far end sends back after write number index (from 0).
    using Script = std::function<QList<QByteArray>(const Write& write, int index)>;

    void SetScript(Script script) { m_script = std::move(script); }
    // Queues a chunk now; it is handled the next time events are processed.
    void Deliver(const QByteArray& chunk);
    // Delivers a chunk after ms milliseconds.
    void DeliverAfter(int ms, const QByteArray& chunk);
    // The script's answers come from a worker thread after ms milliseconds,
    // posted while the user-interface thread is already waiting, as the real
    // port's receive thread does.
    void AnswerFromWorkerThread(int ms) { m_workerDelay = ms; }
    // The next OpenPort throws an ECommsError with this text.
    void FailNextOpen(const QString& message, const QString& reason = {})
    {
        m_openError = message;
        m_openReason = reason;
    }
    // The cable is pulled while write number `index` (from 0) goes out: that
    // write is taken but never reported sent, the hang-up is reported
    // instead, and from then on writes are refused and rate changes fail as
    // on a dead port, until the port is opened again.
    void HangUpAtWrite(int index) { m_hangUpAt = index; }
    // Like the real port: the transmit worker reports an empty queue at start.
    void SetNoticeOnOpen(bool on) { m_noticeOnOpen = on; }

    const QList<Write>& Writes() const { return m_writes; }
    int RefusedWrites() const { return m_refused; }
    int OpenCount() const { return m_opens; }
    QList<quint32> RateHistory() const { return m_rates; }

    void SetCommName(const QString& name) override { m_name = name; }
    QString CommName() const override { return m_name; }
    void SetBaudRate(quint32 rate) override;
    quint32 BaudRate() const override { return m_rate; }
    void OpenPort() override;
    void ClosePort() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    bool WriteBytes(const quint8* data, quint16 length) override;
    void SetReceiveHandler(ReceiveHandler handler) override { m_receive = std::move(handler); }
    void SetSendCompleteHandler(NotifyHandler handler) override { m_sendComplete = std::move(handler); }
    void SetHangupHandler(NotifyHandler handler) override { m_hangup = std::move(handler); }

private:
    void Notify();
    void Receive(const QByteArray& chunk);

    Script m_script;
    ReceiveHandler m_receive;
    NotifyHandler m_sendComplete;
    NotifyHandler m_hangup;
    QList<Write> m_writes;
    QList<quint32> m_rates;
    std::optional<QString> m_openError;
    QString m_openReason;
    QString m_name = QStringLiteral("COM2");
    quint32 m_rate = 0;
    bool m_open = false;
    bool m_noticeOnOpen = false;
    int m_refused = 0;
    int m_opens = 0;
    std::optional<int> m_workerDelay;
    std::optional<int> m_hangUpAt;
    bool m_gone = false;
    std::vector<std::jthread> m_workers; // joined before the object goes
};
