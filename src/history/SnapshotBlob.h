#pragma once

#include "transfer/TableSnapshot.h"

#include <QByteArray>

#include <optional>

// The tables of a snapshot as the history database stores them: the PLUs as
// entries of a 16-bit big-endian PLU number and the 64-byte record, the nine
// departments as their 288 record bytes.
namespace SnapshotBlob {

QByteArray PLUs(const TableSnapshot& snapshot);
QByteArray Departments(const TableSnapshot& snapshot);   // empty when none

// Fill the snapshot from stored bytes; false (and nothing taken) when the
// bytes are not whole entries, or a number lies outside 1..3000.
bool ReadPLUs(const QByteArray& bytes, TableSnapshot& snapshot);
bool ReadDepartments(const QByteArray& bytes, TableSnapshot& snapshot);

} // namespace SnapshotBlob
