#include "transfer/ServiceFile.h"

#include "model/MessageBox.h"

#include <QDir>
#include <QFile>

namespace ServiceFile {

Content ReadWhole(const QString& path, qint64 maxBytes)
{
    Content content;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return content;
    if (file.size() > maxBytes) {
        content.status = Content::Status::TooLarge;
        return content;
    }
    // A device or pipe reports no size: read at most one byte past the limit.
    content.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return content;
    content.status = content.bytes.size() > maxBytes ? Content::Status::TooLarge : Content::Status::Read;
    if (content.status == Content::Status::TooLarge)
        content.bytes.clear();
    return content;
}

ServiceResult Refuse(IMessageBox& messages, const QString& notice)
{
    messages.Beep();
    messages.Error(notice);
    return {ServiceResult::Outcome::Refused, notice, {}};
}

ServiceResult RefuseUnreadable(IMessageBox& messages, const QString& path)
{
    return Refuse(messages, QStringLiteral("Unable to read ") + QDir::toNativeSeparators(path));
}

} // namespace ServiceFile
