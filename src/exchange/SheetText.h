#pragma once

#include <QByteArray>
#include <QString>

// The text of a CSV file: UTF-8 with or without a byte-order mark, UTF-16
// with its byte-order mark (read as UTF-8 converted from it), or, when
// the bytes are not valid UTF-8, Windows-1252 (Latin-1 with the printable
// characters 0x80..0x9F of that code page; the five codes it leaves undefined
// keep their Latin-1 meaning).
enum class SheetEncoding { Utf8, Windows1252 };

SheetEncoding DetectSheetEncoding(const QByteArray& bytes);

// The file's bytes as the CSV parser takes them: UTF-16 with a byte-order
// mark converted to UTF-8, other files as they are. A file the parser cannot
// read (UTF-32, UTF-16 without a byte-order mark or any other file holding
// zero bytes) gives the reason instead, in words for the operator.
struct CsvInput
{
    QByteArray bytes;
    QString error;
};

CsvInput CsvParserInput(const QByteArray& file);

// The bytes after a UTF-8 byte-order mark, or all of them.
QByteArray WithoutByteOrderMark(const QByteArray& bytes);

QString DecodeSheetField(const QByteArray& bytes, SheetEncoding encoding);
