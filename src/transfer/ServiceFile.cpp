#include "transfer/ServiceFile.h"

#include "model/MessageBox.h"

#include "files/FileError.h"
#include "files/FileIo.h"

#include <QDir>

namespace ServiceFile {

Content ReadWhole(const QString& path, qint64 maxBytes)
{
    Content content;
    std::optional<QByteArray> bytes;
    try {
        // Read at most one byte past the limit: a device or pipe reports no size.
        bytes = ReadFileBytes(path, maxBytes);
    } catch (const FileError&) {
        return content;
    }
    if (!bytes)
        return content;
    content.status = bytes->size() > maxBytes ? Content::Status::TooLarge : Content::Status::Read;
    if (content.status == Content::Status::Read)
        content.bytes = *bytes;
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
