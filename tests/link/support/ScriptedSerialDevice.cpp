#include "link/support/ScriptedSerialDevice.h"

#include "serial/CommsError.h"

#include <QTimer>

#include <cerrno>
#include <chrono>
#include <system_error>

ScriptedSerialDevice::~ScriptedSerialDevice()
{
    m_workers.clear();
}

void ScriptedSerialDevice::Deliver(const QByteArray& chunk)
{
    QMetaObject::invokeMethod(this, [this, chunk] { Receive(chunk); }, Qt::QueuedConnection);
}

void ScriptedSerialDevice::DeliverAfter(int ms, const QByteArray& chunk)
{
    QTimer::singleShot(ms, Qt::PreciseTimer, this, [this, chunk] { Receive(chunk); });
}

void ScriptedSerialDevice::SetBaudRate(quint32 rate)
{
    if (m_open && m_gone)
        throw std::system_error(EIO, std::generic_category(), "Cannot apply the line settings");
    m_rate = rate;
    m_rates << rate;
}

void ScriptedSerialDevice::OpenPort()
{
    if (m_open)
        return;
    if (m_openError) {
        const QString message = *m_openError;
        m_openError.reset();
        throw ECommsError(message.toStdString(), m_openReason.toStdString());
    }
    m_open = true;
    m_gone = false;
    ++m_opens;
    if (m_noticeOnOpen)
        QMetaObject::invokeMethod(this, [this] { Notify(); }, Qt::QueuedConnection);
}

bool ScriptedSerialDevice::WriteBytes(const quint8* data, quint16 length)
{
    if (!m_open || m_gone || length == 0) {
        ++m_refused;
        return false;
    }
    const Write write{QByteArray(reinterpret_cast<const char*>(data), length), m_rate};
    m_writes << write;
    if (m_hangUpAt == m_writes.size() - 1) {
        m_gone = true;
        QMetaObject::invokeMethod(this, [this] { if (m_hangup) m_hangup(); }, Qt::QueuedConnection);
        return true;
    }
    QMetaObject::invokeMethod(this, [this] { Notify(); }, Qt::QueuedConnection);
    if (m_script) {
        const QList<QByteArray> answer = m_script(write, static_cast<int>(m_writes.size()) - 1);
        if (m_workerDelay) {
            m_workers.emplace_back([this, answer, delay = *m_workerDelay] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                for (const QByteArray& chunk : answer)
                    Deliver(chunk);
            });
        } else {
            for (const QByteArray& chunk : answer)
                Deliver(chunk);
        }
    }
    return true;
}

void ScriptedSerialDevice::Notify()
{
    if (m_sendComplete)
        m_sendComplete();
}

void ScriptedSerialDevice::Receive(const QByteArray& chunk)
{
    if (m_receive)
        m_receive(reinterpret_cast<const quint8*>(chunk.constData()), static_cast<quint16>(chunk.size()));
}
