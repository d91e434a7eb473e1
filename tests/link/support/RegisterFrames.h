#pragma once

#include "link/Frame.h"

#include <QByteArray>

#include <array>
#include <initializer_list>

// Byte helpers for playing the register in tests.
namespace RegisterFrames {

using Data = std::array<quint8, Frame::kDataBytes>;

QByteArray Bytes(std::initializer_list<int> bytes);

// True when the written bytes are one frame with its trailing 0xFF.
bool IsFrame(const QByteArray& wire);

// The payload block carried by a written frame.
Frame::Payload PayloadOf(const QByteArray& wire);

// The register's reply to a request: the request's command and parameter,
// the given data bytes, a correct checksum; 301 bytes, no trailing 0xFF.
QByteArray Reply(const Frame::Payload& request, const Data& data);

// Data bytes 0, 1, 2, ... (mod 256) starting at first.
Data Counting(quint8 first);

} // namespace RegisterFrames
