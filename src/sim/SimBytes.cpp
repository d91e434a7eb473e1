#include "sim/SimBytes.h"

namespace SimBytes {

quint16 ReadLe16(const quint8* p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint32 ReadLe32(const quint8* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

void WriteLe16(quint8* p, quint16 value)
{
    p[0] = static_cast<quint8>(value & 0xFF);
    p[1] = static_cast<quint8>(value >> 8);
}

quint16 ReadBe16(const quint8* p)
{
    return static_cast<quint16>((p[0] << 8) | p[1]);
}

quint32 ReadBe32(const quint8* p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

quint64 ReadBe48(const quint8* p)
{
    quint64 value = 0;
    for (int i = 0; i < 6; ++i)
        value = (value << 8) | p[i];
    return value;
}

void WriteBe16(quint8* p, quint16 value)
{
    p[0] = static_cast<quint8>(value >> 8);
    p[1] = static_cast<quint8>(value & 0xFF);
}

void WriteBe32(quint8* p, quint32 value)
{
    for (int i = 3; i >= 0; --i) {
        p[i] = static_cast<quint8>(value & 0xFF);
        value >>= 8;
    }
}

void WriteBe48(quint8* p, quint64 value)
{
    for (int i = 5; i >= 0; --i) {
        p[i] = static_cast<quint8>(value & 0xFF);
        value >>= 8;
    }
}

void SimPackBcd(quint8* p, int byteCount, quint64 value)
{
    for (int i = byteCount - 1; i >= 0; --i) {
        p[i] = static_cast<quint8>(((value / 10) % 10) * 16 + value % 10);
        value /= 100;
    }
}

quint64 SimUnpackBcd(const quint8* p, int byteCount, bool* valid)
{
    quint64 value = 0;
    bool ok = true;
    for (int i = 0; i < byteCount; ++i) {
        const quint8 high = p[i] >> 4;
        const quint8 low = p[i] & 0x0F;
        ok = ok && high <= 9 && low <= 9;
        value = value * 100 + high * 10 + low;
    }
    if (valid)
        *valid = ok;
    return value;
}

} // namespace SimBytes
