#include "link/RegisterPayloads.h"

#include <algorithm>

namespace RegisterPayloads {
namespace {

Frame::Payload Command(quint8 command, quint8 sub)
{
    Frame::Payload payload{};
    payload[0] = command;
    payload[1] = sub;
    return payload;
}

void PutBcdNumber(Frame::Payload& payload, std::size_t offset, quint32 value)
{
    const BcdNumber bcd = IntToBcd(value);
    std::copy(bcd.begin(), bcd.end(), payload.begin() + offset);
}

void PutDateTime(Frame::Payload& payload, const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    payload[kDateOffset] = ByteToBcd(static_cast<quint16>(qBound(0, date.year(), 65535)));
    payload[kDateOffset + 1] = ByteToBcd(static_cast<quint16>(qMax(0, date.month())));
    payload[kDateOffset + 2] = ByteToBcd(static_cast<quint16>(qMax(0, date.day())));
    payload[kTimeOffset] = ByteToBcd(static_cast<quint16>(qMax(0, time.hour())));
    payload[kTimeOffset + 1] = ByteToBcd(static_cast<quint16>(qMax(0, time.minute())));
    payload[kTimeOffset + 2] = ByteToBcd(static_cast<quint16>(qMax(0, time.second())));
}

} // namespace

quint8 ByteToBcd(quint16 value)
{
    return static_cast<quint8>(((value / 10) % 10) * 16 + value % 10);
}

BcdNumber IntToBcd(quint32 value)
{
    BcdNumber bcd{};
    for (quint8& pair : bcd) {
        pair = static_cast<quint8>(((value / 10) % 10) * 16 + value % 10);
        value /= 100;
    }
    return bcd;
}

Frame::Payload LogIn(quint32 accessCode, const QDateTime& now, quint8 rateIndex, bool programLoad)
{
    Frame::Payload payload = Command(kLinkCommand, kLogInSubCode);
    PutBcdNumber(payload, kAccessCodeOffset, accessCode);
    PutDateTime(payload, now);
    payload[kRateIndexOffset] = rateIndex;
    payload[kLogInFlagOffset] = programLoad ? kLogInForProgramLoad : kLogInForTransfer;
    Frame::SetChecksum(payload);
    return payload;
}

Frame::Payload BroadcastLogIn(const QDateTime& now, quint8 rateIndex, quint8 scaleMarker,
                              const AddressList& addresses)
{
    Frame::Payload payload = Command(kLinkCommand, kLogInSubCode);
    PutBcdNumber(payload, kAccessCodeOffset, 0);
    PutDateTime(payload, now);
    payload[kRateIndexOffset] = rateIndex;
    payload[kLogInFlagOffset] = scaleMarker;
    for (std::size_t i = 0; i < addresses.size(); ++i)
        PutBcdNumber(payload, kAddressListOffset + 4 * i, addresses[i]);
    Frame::SetChecksum(payload);
    return payload;
}

Frame::Payload LogOut(quint32 accessCode, quint8 failed)
{
    Frame::Payload payload = Command(kLinkCommand, kLogOutSubCode);
    PutBcdNumber(payload, kAccessCodeOffset, accessCode);
    payload[kLogOutFailedOffset] = failed;
    Frame::SetChecksum(payload);
    return payload;
}

Frame::Payload Packet(quint8 command, quint16 parameter, PacketBytes data)
{
    Frame::Payload payload = Command(command, static_cast<quint8>(parameter & 0xFF));
    payload[2] = static_cast<quint8>(parameter >> 8);
    std::copy(data.begin(), data.end(), payload.begin() + Frame::kDataOffset);
    Frame::SetChecksum(payload);
    return payload;
}

Frame::Payload ProgramLoad(quint8 subCode, quint16 value)
{
    Frame::Payload payload = Command(kProgramLoadCommand, subCode);
    payload[kValueOffset] = static_cast<quint8>(value & 0xFF);
    payload[kValueOffset + 1] = static_cast<quint8>(value >> 8);
    Frame::SetChecksum(payload);
    return payload;
}

} // namespace RegisterPayloads
