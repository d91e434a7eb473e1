#pragma once

#include <QByteArray>
#include <QString>

// The text of a CSV file: UTF-8 with or without a byte-order mark, or, when
// the bytes are not valid UTF-8, Windows-1252 (Latin-1 with the printable
// characters 0x80..0x9F of that code page; the five codes it leaves undefined
// keep their Latin-1 meaning).
enum class SheetEncoding { Utf8, Windows1252 };

SheetEncoding DetectSheetEncoding(const QByteArray& bytes);

// The bytes after a UTF-8 byte-order mark, or all of them.
QByteArray WithoutByteOrderMark(const QByteArray& bytes);

QString DecodeSheetField(const QByteArray& bytes, SheetEncoding encoding);
