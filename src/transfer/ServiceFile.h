#pragma once

#include "transfer/ServiceContext.h"

#include <QByteArray>
#include <QString>

class IMessageBox;

// Reading the file a service function sends, before the port is touched.
namespace ServiceFile {

struct Content
{
    enum class Status { Read, Unreadable, TooLarge };
    Status status = Status::Unreadable;
    QByteArray bytes;
};

// The whole file, opened for this read only and closed again. A file larger
// than maxBytes is not read.
Content ReadWhole(const QString& path, qint64 maxBytes);

// A beep and the notice with an OK button; nothing is sent. Outcome Refused.
ServiceResult Refuse(IMessageBox& messages, const QString& notice);

// "Unable to read <file>" as a refusal.
ServiceResult RefuseUnreadable(IMessageBox& messages, const QString& path);

} // namespace ServiceFile
