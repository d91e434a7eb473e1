#include "transfer/ProgramLoad.h"

#include "link/QelmIBus.h"
#include "model/Defs.h"
#include "model/Texts.h"
#include "transfer/Progress.h"
#include "transfer/ServiceFile.h"
#include "transfer/ServiceSession.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

constexpr quint8 kFontCommand = 2;
constexpr int kPackageBytes = 256;
// Package numbers travel as 16-bit values.
constexpr int kMaxPackages = 65536;

} // namespace

OpenFileFilter FontFiles()
{
    return {QStringLiteral("Font Files"), QStringLiteral("*.fnt"), QStringLiteral("fnt")};
}

ServiceResult DownloadFont(const ServiceContext& context, IOpenFileChooser& chooser)
{
    const QString path = chooser.ChooseOpenFile(FontFiles());
    if (path.isEmpty())
        return {ServiceResult::Outcome::NotStarted, {}, {}};
    const ServiceFile::Content content = ServiceFile::ReadWhole(path, qint64(kMaxPackages) * kPackageBytes);
    if (content.status == ServiceFile::Content::Status::Unreadable)
        return ServiceFile::RefuseUnreadable(context.messages, path);
    // An empty file would report success after sending nothing.
    if (content.status == ServiceFile::Content::Status::TooLarge || content.bytes.isEmpty())
        return ServiceFile::Refuse(context.messages, ProgramLoadTexts::NotValidFile());
    const QByteArray& font = content.bytes;
    TQelmIBusComm& link = context.link;

    ServiceSession session(context);
    if (!session.Open())
        return session.Result();

    if (!session.Connect())
        return session.Fail(Texts().ConnectText);

    const QString download = ProgramLoadTexts::DownloadFont();
    const int packages = DivRoundUp(qint32(font.size()), kPackageBytes);
    context.progress.SetMargin(packages);
    session.Step(download);
    const auto* bytes = reinterpret_cast<const quint8*>(font.constData());
    for (int i = 0; i < packages; ++i) {
        context.progress.SetProgress(i + 1);
        const qsizetype offset = qsizetype(i) * kPackageBytes;
        // The last package overwrites only as many bytes as remain.
        const qsizetype length = std::min<qsizetype>(kPackageBytes, font.size() - offset);
        std::copy_n(bytes + offset, length, link.PacketData().begin());
        if (session.Cancelled() || !link.SendPacket(kFontCommand, static_cast<quint16>(i)))
            return session.Fail(download);
        QCoreApplication::processEvents();
    }

    session.Step(Texts().DisconnectText);
    if (!link.LogOut(TQelmIBusComm::kAccessCode, 0))
        return session.Fail(Texts().DisconnectText);
    return session.Finish();
}
