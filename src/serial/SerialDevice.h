#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// What the link layer needs of a serial device. TComm is the real one; tests
// put a scripted device in its place to feed exact chunks without a port.
//
// All calls and all callbacks happen on the user-interface thread. Received
// chunks and the send-complete notice arrive only while that thread processes
// its pending events.
class ISerialDevice
{
public:
    using ReceiveHandler = std::function<void(const quint8* data, quint16 length)>;
    using NotifyHandler = std::function<void()>;

    virtual ~ISerialDevice() = default;

    virtual void SetCommName(const QString& name) = 0;
    virtual QString CommName() const = 0;
    // Takes effect at once on an open port.
    virtual void SetBaudRate(quint32 rate) = 0;
    virtual quint32 BaudRate() const = 0;

    // Throws ECommsError; does nothing when already open.
    virtual void OpenPort() = 0;
    // Does nothing when closed.
    virtual void ClosePort() = 0;
    virtual bool IsOpen() const = 0;

    // Queues the bytes for transmission; false when the port is not open or
    // length is 0. Completion is reported through the send-complete handler.
    virtual bool WriteBytes(const quint8* data, quint16 length) = 0;

    virtual void SetReceiveHandler(ReceiveHandler handler) = 0;
    virtual void SetSendCompleteHandler(NotifyHandler handler) = 0;
    // Called once when the open device went away (a cable or adapter pulled,
    // the far end of a pseudo-terminal closed); nothing more is sent or
    // received until the port is opened again.
    virtual void SetHangupHandler(NotifyHandler handler) = 0;
};
