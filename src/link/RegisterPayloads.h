#pragma once

#include "link/Frame.h"

#include <QDateTime>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <span>

// The payloads of the register commands. Each builder starts from an all-zero
// block, so every byte a command does not set is 0, and fills in the checksum.
namespace RegisterPayloads {

constexpr quint8 kLinkCommand = 14;          // log-in, log-out, status, memory read
constexpr quint8 kLogInSubCode = 1;
constexpr quint8 kLogOutSubCode = 2;
constexpr quint16 kStatusParameter = 16;
constexpr quint8 kProgramLoadCommand = 15;
constexpr quint8 kBeginProgramLoadSubCode = 0;
constexpr quint8 kEndProgramLoadSubCode = 1;

constexpr std::size_t kAccessCodeOffset = 3;   // P[3..6]
constexpr std::size_t kDateOffset = 7;         // P[7..9] year, month, day
constexpr std::size_t kTimeOffset = 10;        // P[10..12] hour, minute, second
constexpr std::size_t kRateIndexOffset = 13;   // P[13]
constexpr std::size_t kLogInFlagOffset = 14;   // P[14]
constexpr std::size_t kAddressListOffset = 35; // P[35..258] in broadcast mode
constexpr std::size_t kLogOutFailedOffset = 7; // P[7]
constexpr std::size_t kValueOffset = 3;        // P[3..4] of the program-load markers

constexpr std::size_t kBroadcastAddresses = 56;
constexpr quint8 kLogInForTransfer = 1;
constexpr quint8 kLogInForProgramLoad = 0;
constexpr quint8 kScaleMarker1024 = 0x5A;
constexpr quint8 kScaleMarker5120 = 0xA5;

using BcdNumber = std::array<quint8, 4>;
using AddressList = std::array<quint32, kBroadcastAddresses>;
using PacketBytes = std::span<const quint8, Frame::kDataBytes>;

// The last two decimal digits of value, tens in the high nibble.
quint8 ByteToBcd(quint16 value);

// The eight lowest decimal digits of value, two per byte (higher digit in the
// high nibble), least significant pair first: 20261206 -> 06 12 26 20.
BcdNumber IntToBcd(quint32 value);

// The log-in frame: access code, the PC's date and time, the line-rate index
// the register is to use afterwards, and whether a program load follows.
Frame::Payload LogIn(quint32 accessCode, const QDateTime& now, quint8 rateIndex, bool programLoad);

// The log-in sent to every register on the line: code 0, the scale marker and
// the address list in place of the access code and the log-in flag.
Frame::Payload BroadcastLogIn(const QDateTime& now, quint8 rateIndex, quint8 scaleMarker,
                              const AddressList& addresses);

// failed is 1 when the exchange stopped on an error, 0 after a normal end.
Frame::Payload LogOut(quint32 accessCode, quint8 failed);

// Command, 16-bit parameter (low byte first) and the 256 data bytes.
Frame::Payload Packet(quint8 command, quint16 parameter, PacketBytes data);

// Start (sub-code 0) or end (sub-code 1) of a program load with its value.
Frame::Payload ProgramLoad(quint8 subCode, quint16 value);

} // namespace RegisterPayloads
