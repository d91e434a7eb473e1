#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

#include <functional>

// Whole-file writes that never leave a half-written file behind, and
// line-by-line reads. Failures throw FileError.

// Writes bytes to a temporary file beside path and renames it over path, so
// path holds either its old content or the new one, never part of it.
void WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Calls take with each line read from device, without its line end (LF, or
// CR LF), until take returns false or the device ends. name is the file named
// in a FileError.
void ReadLines(QIODevice& device, const QString& name,
               const std::function<bool(const QByteArray&)>& take);

// Calls take with each line of the file, without its line end (LF, or CR LF),
// until take returns false or the file ends. Returns false, without calling
// take, when the file does not exist.
bool ReadFileLines(const QString& path, const std::function<bool(const QByteArray&)>& take);
