#pragma once

#include <QtGlobal>

// Byte-order and packed-decimal helpers for the simulator's record layouts.
// Every function takes the buffer position explicitly; callers check bounds.
namespace SimBytes {

quint16 ReadLe16(const quint8* p);
quint32 ReadLe32(const quint8* p);
void WriteLe16(quint8* p, quint16 value);

quint32 ReadBe32(const quint8* p);
quint64 ReadBe48(const quint8* p);
quint16 ReadBe16(const quint8* p);
void WriteBe16(quint8* p, quint16 value);
void WriteBe32(quint8* p, quint32 value);
void WriteBe48(quint8* p, quint64 value);

// Packs the lowest 2 * byteCount decimal digits of value, most significant
// digit first, two digits per byte (high nibble first).
void SimPackBcd(quint8* p, int byteCount, quint64 value);

// Reads 2 * byteCount packed digits. Nibbles above 9 make valid false (when
// given) and count with their value, as the register's own reader does.
quint64 SimUnpackBcd(const quint8* p, int byteCount, bool* valid = nullptr);

} // namespace SimBytes
