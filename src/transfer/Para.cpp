#include "transfer/Para.h"

#include "config/SettingsFile.h"
#include "transfer/Progress.h"
#include "transfer/TransferLink.h"

#include <algorithm>

namespace {
constexpr quint8 kSendParameters = 1;
constexpr quint8 kRequestParameters = 5;
} // namespace

bool DownloadParameters(ITransferLink& link, const IProgress& progress, const QString& settingsPath)
{
    using namespace ParameterBlockLayout;
    const ParameterBlock block = EncodeParameterBlock(SettingsFile(settingsPath));
    bool allSent = true;
    for (int p = 0; p < kPackages; ++p) {
        if (progress.ProgressState() == IProgress::State::Dismissed)
            return false;
        const auto from = block.cbegin() + kPackageBytes * p;
        std::copy(from, from + kPackageBytes, link.PacketData().begin());
        allSent = link.SendPacket(kSendParameters, quint16(p)) && allSent;
    }
    return allSent;
}

bool UploadParameters(ITransferLink& link, const QString& settingsPath)
{
    using namespace ParameterBlockLayout;
    ParameterBlock block{};
    for (int p = 0; p < kPackages; ++p) {
        if (!link.RequestPacket(kRequestParameters, quint16(p)))
            return false;
        const auto data = link.PacketData();
        std::copy(data.begin(), data.end(), block.begin() + kPackageBytes * p);
    }
    SettingsFile settings(settingsPath);
    WriteParameterBlock(block, settings);
    return true;
}
