#include "transfer/MemoryDump.h"

#include "link/QelmIBus.h"
#include "model/Texts.h"
#include "model/MessageBox.h"
#include "config/AppPaths.h"
#include "transfer/MemoryListing.h"
#include "transfer/Progress.h"
#include "transfer/ServiceSession.h"

#include "files/FileError.h"
#include "files/FileIo.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <optional>
#include <span>

namespace {

constexpr quint8 kMemoryReadCommand = 14;
constexpr quint16 kMemoryReadParameter = 16;
constexpr std::size_t kBlockLowOffset = 0;
constexpr std::size_t kBlockHighOffset = 1;
constexpr std::size_t kAreaOffset = 2;
constexpr int kAreaShift = 4;
constexpr qint64 kBlockBytes = MemoryRanges::kBlockBytes;

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString UnableToWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Unable to write to ") + Shown(path) + QStringLiteral(": ") + reason;
}

// Clears the data area and fills in the block number and the area.
void PrepareRequest(TQelmIBusComm::PacketArea& data, quint16 block, quint8 areaCode)
{
    std::fill(data.begin(), data.begin() + kBlockBytes, quint8(0));
    data[kBlockLowOffset] = static_cast<quint8>(block & 0xFF);
    data[kBlockHighOffset] = static_cast<quint8>(block >> 8);
    data[kAreaOffset] = static_cast<quint8>(areaCode << kAreaShift);
}

// Writes the listing of the blocks over the file, atomically: on any error
// the file keeps its binary content. The error text, empty on success.
QString WriteListing(const QString& path, int firstBlock, const QByteArray& blocks)
{
    try {
        StagedFile file(path);
        const auto* bytes = reinterpret_cast<const quint8*>(blocks.constData());
        const qint64 count = blocks.size() / kBlockBytes;
        for (qint64 k = 0; k < count; ++k) {
            const std::span<const quint8, MemoryListing::kBlockBytes> block(bytes + k * kBlockBytes,
                                                                           MemoryListing::kBlockBytes);
            file.Write(MemoryListing::Block(quint32(firstBlock + k), block));
        }
        file.Commit();
    } catch (const FileError& error) {
        return UnableToWrite(path, error.Reason());
    }
    return {};
}

// One failure log-out, unlike the table transfers' four.
ServiceResult FailAfterLogIn(const ServiceContext& context, ServiceSession& session, const QString& errorText)
{
    context.link.LogOut(TQelmIBusComm::kAccessCode, 1);
    return session.FailWith(errorText);
}

ServiceResult Refused(IMessageBox& messages)
{
    messages.Beep();
    ServiceResult result;
    result.outcome = ServiceResult::Outcome::Refused;
    return result;
}

} // namespace

ServiceResult DumpMemory(const ServiceContext& context, IMemoryRangeDialog& dialog, const ListingViewer& viewer)
{
    const std::optional<MemoryRangeChoice> range = dialog.Run(MemoryDumpTexts::DialogTitle());
    if (!range)
        return {ServiceResult::Outcome::NotStarted, {}, {}};
    if (!MemoryRanges::IsValid(*range))
        return Refused(context.messages);
    const DumpPlan plan = MemoryRanges::Plan(*range);
    const QString path = AppPaths::ProgramFile(plan.fileName);
    TQelmIBusComm& link = context.link;

    ServiceSession session(context);
    if (!session.Open())
        return session.Result();

    if (!session.Connect())
        return FailAfterLogIn(context, session, ServiceSession::ErrorText(Texts().ConnectText));

    const QString receiveData = MemoryDumpTexts::ReceiveData();
    session.Step(receiveData);
    context.progress.SetMargin(plan.blockCount);

    // The work file is emptied and each block written to it as it arrives, so
    // a dump that fails keeps the blocks received so far; only a complete
    // dump becomes a listing.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return FailAfterLogIn(context, session, QStringLiteral("Unable to create ") + Shown(path)
                                                    + QStringLiteral(": ") + file.errorString());

    QByteArray blocks;
    blocks.reserve(qsizetype(plan.blockCount) * kBlockBytes);
    for (int k = 0; k < plan.blockCount; ++k) {
        context.progress.SetProgress(k + 1);
        const auto block = static_cast<quint16>(plan.firstBlock + k);
        PrepareRequest(link.PacketData(), block, plan.areaCode);
        if (session.Cancelled() || !link.RequestPacket(kMemoryReadCommand, kMemoryReadParameter))
            return FailAfterLogIn(context, session, ServiceSession::ErrorText(receiveData));
        const QByteArray received(reinterpret_cast<const char*>(link.PacketData().data()), kBlockBytes);
        if (file.write(received) != received.size())
            return FailAfterLogIn(context, session, UnableToWrite(path, file.errorString()));
        blocks.append(received);
    }
    file.close();

    session.Step(Texts().DisconnectText);
    if (!link.LogOut(TQelmIBusComm::kAccessCode, 0))
        return session.Fail(Texts().DisconnectText);

    session.ClosePort();
    if (const QString error = WriteListing(path, plan.firstBlock, blocks); !error.isEmpty())
        return session.FailWith(error);
    ServiceResult result = session.Finish();
    if (viewer)
        viewer(path);
    return result;
}
