#include "serial/CommEndpoint.h"

#include <QCoreApplication>

TCommNoticeEvent::TCommNoticeEvent(TCommNotification code, quint64 session, QByteArray data,
                                   quint32 bits)
    : QEvent(TypeOf(code)), m_code(code), m_session(session), m_data(std::move(data)), m_bits(bits)
{
}

QEvent::Type TCommNoticeEvent::TypeOf(TCommNotification code)
{
    return static_cast<QEvent::Type>(QEvent::User + static_cast<int>(code));
}

TCommEndpoint::TCommEndpoint(TDispatch dispatch) : m_dispatch(std::move(dispatch)) {}

void TCommEndpoint::customEvent(QEvent* event)
{
    const int first = TCommNoticeEvent::TypeOf(TCommNotification::DataReceived);
    const int last = TCommNoticeEvent::TypeOf(TCommNotification::SendDataEmpty);
    if (event->type() >= first && event->type() <= last)
        m_dispatch(*static_cast<const TCommNoticeEvent*>(event));
}

void TCommNotifier::DataReceived(QByteArray bytes) const
{
    Post(TCommNotification::DataReceived, std::move(bytes));
}

void TCommNotifier::ReceiveError(quint32 lineErrors) const
{
    Post(TCommNotification::ReceiveError, {}, lineErrors);
}

void TCommNotifier::RequestHangup() const
{
    Post(TCommNotification::RequestHangup);
}

void TCommNotifier::ModemStateChange(quint32 modemBits) const
{
    Post(TCommNotification::ModemStateChange, {}, modemBits);
}

void TCommNotifier::SendDataEmpty() const
{
    Post(TCommNotification::SendDataEmpty);
}

void TCommNotifier::Post(TCommNotification code, QByteArray data, quint32 bits) const
{
    QCoreApplication::postEvent(m_endpoint,
                                new TCommNoticeEvent(code, m_session, std::move(data), bits));
}
