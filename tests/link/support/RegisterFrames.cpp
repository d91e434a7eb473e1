#include "link/support/RegisterFrames.h"

#include <algorithm>

namespace RegisterFrames {

QByteArray Bytes(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (const int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

bool IsFrame(const QByteArray& wire)
{
    return wire.size() == static_cast<qsizetype>(Frame::kWireBytes)
           && static_cast<quint8>(wire[0]) == Frame::kStartByte
           && static_cast<quint8>(wire[300]) == Frame::kEndByte
           && static_cast<quint8>(wire[301]) == Frame::kTrailerByte;
}

Frame::Payload PayloadOf(const QByteArray& wire)
{
    Frame::Bytes frame{};
    std::copy_n(reinterpret_cast<const quint8*>(wire.constData()),
                std::min<std::size_t>(frame.size(), static_cast<std::size_t>(wire.size())), frame.begin());
    bool checksumError = false;
    return Frame::DecodeFrame(frame, checksumError);
}

QByteArray Reply(const Frame::Payload& request, const Data& data)
{
    Frame::Payload reply{};
    std::copy_n(request.begin(), Frame::kDataOffset, reply.begin());
    std::copy(data.begin(), data.end(), reply.begin() + Frame::kDataOffset);
    Frame::SetChecksum(reply);
    const Frame::Bytes frame = Frame::EncodeFrame(reply);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size()));
}

Data Counting(quint8 first)
{
    Data data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<quint8>(first + i);
    return data;
}

} // namespace RegisterFrames
