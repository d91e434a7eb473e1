#pragma once

#include <QtGlobal>

#include <cmath>

// Fixed-width numbers inside the register's records and blocks. Records and
// the parameter block are big-endian (most significant byte first); the PLU
// index in front of a downloaded record is little-endian. Callers pass a
// pointer to the first byte of the field inside a buffer they have sized.
namespace ByteOrder {

inline quint16 ReadBig16(const quint8* at)
{
    return static_cast<quint16>((at[0] << 8) | at[1]);
}

inline quint32 ReadBig32(const quint8* at)
{
    return (quint32(at[0]) << 24) | (quint32(at[1]) << 16) | (quint32(at[2]) << 8) | quint32(at[3]);
}

inline qint32 ReadBigSigned32(const quint8* at)
{
    // Two's complement without relying on an out-of-range conversion.
    const quint32 raw = ReadBig32(at);
    return raw <= 0x7FFFFFFFu ? qint32(raw) : -qint32(~raw) - 1;
}

inline quint64 ReadBig48(const quint8* at)
{
    quint64 value = 0;
    for (int i = 0; i < 6; ++i)
        value = (value << 8) | at[i];
    return value;
}

inline void WriteBig16(quint8* at, quint16 value)
{
    at[0] = quint8(value >> 8);
    at[1] = quint8(value);
}

inline void WriteBig32(quint8* at, quint32 value)
{
    at[0] = quint8(value >> 24);
    at[1] = quint8(value >> 16);
    at[2] = quint8(value >> 8);
    at[3] = quint8(value);
}

inline void WriteLittle32(quint8* at, quint32 value)
{
    at[0] = quint8(value);
    at[1] = quint8(value >> 8);
    at[2] = quint8(value >> 16);
    at[3] = quint8(value >> 24);
}

inline quint32 ReadLittle32(const quint8* at)
{
    return quint32(at[0]) | quint32(at[1]) << 8 | quint32(at[2]) << 16 | quint32(at[3]) << 24;
}

// The lowest 32 bits (two's complement) of a whole number held in a double,
// for any magnitude: numbers that do not fit wrap instead of invoking an
// out-of-range conversion. Not-a-number and infinities give 0.
inline quint32 LowBits32(double wholeNumber)
{
    constexpr double kModulus = 4294967296.0;
    if (!std::isfinite(wholeNumber))
        return 0;
    double rest = std::fmod(wholeNumber, kModulus); // exact for doubles
    if (rest < 0)
        rest += kModulus;
    if (rest >= kModulus) // a tiny negative fraction rounding up
        rest = 0;
    return quint32(rest);
}

} // namespace ByteOrder
