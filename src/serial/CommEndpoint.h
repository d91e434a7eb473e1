#pragma once

#include <QByteArray>
#include <QEvent>
#include <QObject>

#include <functional>

// What the worker threads tell the user-interface thread; the program's own
// numbering, offset into the user event range.
enum class TCommNotification
{
    DataReceived = 1025,
    ReceiveError = 1026,
    RequestHangup = 1027,
    ModemStateChange = 1028,
    SendDataEmpty = 1029,
};

// One notification. `session` names the opening of the port it belongs to, so
// that nothing from an earlier opening reaches the handlers.
class TCommNoticeEvent : public QEvent
{
public:
    TCommNoticeEvent(TCommNotification code, quint64 session, QByteArray data, quint32 bits);

    static QEvent::Type TypeOf(TCommNotification code);

    TCommNotification Code() const { return m_code; }
    quint64 Session() const { return m_session; }
    // The received bytes (a private copy) of DataReceived.
    const QByteArray& Data() const { return m_data; }
    // Line-error or modem bits.
    quint32 Bits() const { return m_bits; }

private:
    TCommNotification m_code;
    quint64 m_session;
    QByteArray m_data;
    quint32 m_bits;
};

// Lives on the user-interface thread and hands each notification, in the
// order posted, to the dispatch function. Deleting it drops whatever is still
// pending for it.
class TCommEndpoint : public QObject
{
    Q_OBJECT

public:
    using TDispatch = std::function<void(const TCommNoticeEvent&)>;

    explicit TCommEndpoint(TDispatch dispatch);

protected:
    void customEvent(QEvent* event) override;

private:
    TDispatch m_dispatch;
};

// What a worker thread holds to post to the endpoint; safe from any thread
// while the endpoint lives.
class TCommNotifier
{
public:
    TCommNotifier(TCommEndpoint* endpoint, quint64 session)
        : m_endpoint(endpoint), m_session(session)
    {
    }

    void DataReceived(QByteArray bytes) const;
    void ReceiveError(quint32 lineErrors) const;
    void RequestHangup() const;
    void ModemStateChange(quint32 modemBits) const;
    void SendDataEmpty() const;

private:
    void Post(TCommNotification code, QByteArray data = {}, quint32 bits = 0) const;

    TCommEndpoint* m_endpoint;
    quint64 m_session;
};
