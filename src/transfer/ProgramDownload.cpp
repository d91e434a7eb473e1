#include "transfer/ProgramLoad.h"

#include "link/QelmIBus.h"
#include "model/Texts.h"
#include "transfer/Progress.h"
#include "transfer/ServiceFile.h"
#include "transfer/ServiceSession.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

constexpr quint8 kProgramBlockCommand = 15;
constexpr qint64 kStartValueFromEnd = 4; // bytes size-4 (low), size-3 (high)

} // namespace

quint16 ProgramImage::StartValue() const
{
    const qint64 low = bytes.size() - kStartValueFromEnd;
    return static_cast<quint16>(quint8(bytes[low]) | (quint8(bytes[low + 1]) << 8));
}

quint16 ProgramImage::Checksum() const
{
    quint32 sum = 0;
    for (const char byte : bytes)
        sum += quint8(byte);
    return static_cast<quint16>(sum & 0xFFFF);
}

std::optional<ProgramImage> ProgramImage::FromBytes(QByteArray bytes)
{
    const qint64 size = bytes.size();
    if (size == 0 || size % kBlockBytes != 0 || size / kBlockBytes > kMaxBlocks)
        return std::nullopt;
    return ProgramImage{std::move(bytes)};
}

OpenFileFilter ProgramImageFiles()
{
    return {QStringLiteral("Binary Files"), QStringLiteral("*.hex"), QStringLiteral("hex")};
}

ServiceResult DownloadProgram(const ServiceContext& context, IOpenFileChooser& chooser, qint32 firstBlock)
{
    const QString path = chooser.ChooseOpenFile(ProgramImageFiles());
    if (path.isEmpty())
        return {ServiceResult::Outcome::NotStarted, {}, {}};
    const qint64 maxBytes = qint64(ProgramImage::kMaxBlocks) * ProgramImage::kBlockBytes;
    ServiceFile::Content content = ServiceFile::ReadWhole(path, maxBytes);
    if (content.status == ServiceFile::Content::Status::Unreadable)
        return ServiceFile::RefuseUnreadable(context.messages, path);
    const std::optional<ProgramImage> image = ProgramImage::FromBytes(std::move(content.bytes));
    if (!image)
        return ServiceFile::Refuse(context.messages, ProgramLoadTexts::NotValidFile());

    const int blocks = image->Blocks();
    const int first = std::clamp(firstBlock, 0, blocks);
    const int count = blocks - first;
    // An image without a block to send would report success after sending
    // nothing.
    if (count == 0) {
        ServiceResult refused = ServiceFile::Refuse(context.messages, ProgramLoadTexts::NotValidFile());
        refused.detail = QStringLiteral("The image has %1 blocks of 256 bytes, none at or after block %2")
                             .arg(blocks)
                             .arg(firstBlock);
        return refused;
    }
    TQelmIBusComm& link = context.link;

    ServiceSession session(context);
    if (!session.Open())
        return session.Result();

    const QString wait = ProgramLoadTexts::WaitOneSecond();
    session.Step(wait);
    // A wake-up pattern fails when aborted (Cancel: ends silently) or when the
    // device refused the bytes, which the operator is shown.
    if (session.Cancelled() || !link.SendDoubleSyncPattern())
        return session.Fail(wait);

    if (!session.Connect(true))
        return session.Fail(Texts().ConnectText);
    if (session.Cancelled() || !link.BeginProgramLoad(image->StartValue()))
        return session.Fail(Texts().ConnectText);
    // From here on the register's loader is open. A load that is cancelled or
    // fails ends without the end marker: a loader that trusts the marker's
    // byte sum could otherwise take a partial image for a whole one.
    if (session.Cancelled() || !link.SendSyncPattern())
        return session.Fail(Texts().ConnectText);

    const QString download = ProgramLoadTexts::DownloadProgram();
    context.progress.SetMargin(count);
    session.Step(download);
    const auto* bytes = reinterpret_cast<const quint8*>(image->bytes.constData());
    for (int k = 0; k < count; ++k) {
        context.progress.SetProgress(k + 1);
        const int block = first + k;
        std::copy_n(bytes + qsizetype(block) * ProgramImage::kBlockBytes, ProgramImage::kBlockBytes,
                    link.PacketData().begin());
        if (session.Cancelled() || !link.SendPacket(kProgramBlockCommand, static_cast<quint16>(block)))
            return session.Fail(download);
        QCoreApplication::processEvents();
    }

    session.Step(Texts().DisconnectText);
    if (session.Cancelled() || !link.EndProgramLoad(image->Checksum()))
        return session.Fail(Texts().DisconnectText);
    return session.Finish();
}
