#pragma once

#include "files/FileIo.h"

#include <QByteArray>
#include <QString>

class QIODevice;
class RecyTable;
class TextTable;

// The document's table files: plain 8-bit text, one line per saved row, fields
// separated by TAB, lines ended by CR LF; cell texts are written and read back
// byte for byte. Failures throw FileError.

// One line per row from row 1 up to the last row holding anything but the
// defaults, in row order: the cells of columns 1 and up (a row without a name
// is written with its cells as they are, so positional loading puts every row
// back at its number and a PLU with a barcode and a price but no name is
// kept). The file is replaced as a whole.
void WriteTableFile(const TextTable& table, const FilePath& path);

// Line k fills row k from column 1 on; fields beyond the last column are
// ignored and cells without a field keep their text. At most RowCount - 1
// lines are read; a note says so when there were more. Nothing happens when
// the file does not exist; nothing read is checked.
void ReadTableFile(TextTable& table, const FilePath& path, ReadNotes* notes = nullptr);

// Exactly 100 lines, one per record: PLU #, package price, barcode.
void WriteRecyFile(const RecyTable& table, const FilePath& path);

// Each line with at least three fields fills the next record; shorter lines
// are skipped. Records no line reached keep their texts.
void ReadRecyFile(RecyTable& table, const FilePath& path, ReadNotes* notes = nullptr);

// The last row a table file holds: the last one holding anything but the
// defaults; 0 when there is none.
int LastSavedRow(const TextTable& table);

// The same formats without the file: the bytes a table is saved as, and
// reading from an open device (name is the file named in a FileError).
QByteArray TableFileBytes(const TextTable& table);
QByteArray RecyFileBytes(const RecyTable& table);
void ReadTable(TextTable& table, QIODevice& device, const QString& name, ReadNotes* notes = nullptr);
void ReadRecy(RecyTable& table, QIODevice& device, const QString& name, ReadNotes* notes = nullptr);
