#pragma once

#include "files/FilePath.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QIODevice;

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Whole-file writes that never leave a half-written file behind, and
// line-by-line reads, on the bytes of the files' names. Failures throw
// FileError, whose reason carries the system's own words ("No space left on
// device") and whose path is the name as the operator reads it.

// The new content of one file, written straight to the disk (no buffer whose
// late flush could fail unseen) into a temporary file beside it. Commit()
// renames it over the file only after every byte is written and synced; until
// then, and when anything fails, the file keeps its old content and the
// temporary file goes away with this object.
class StagedFile
{
public:
    // A symbolic link is followed: its target is replaced.
    explicit StagedFile(const FilePath& path);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    void Write(QByteArrayView bytes);
    // Syncs and closes the temporary file: afterwards only the rename is left.
    void Finish();
    // Finish() when not yet done, then the rename.
    void Commit();

    // The file as named by the caller.
    const FilePath& Path() const { return path_; }

private:
    [[noreturn]] void Fail(const QString& what, int error);

    FilePath path_;
    FilePath target_;
    FilePath temporary_;
    int fd_ = -1;
    bool committed_ = false;
};

// Writes bytes to a temporary file beside path and renames it over path, so
// path holds either its old content or the new one, never part of it.
void WriteFileAtomically(const FilePath& path, const QByteArray& bytes);

// Replaces several files together: every one is written in full before the
// first is renamed, so a failure while writing leaves all of them old. Should
// a rename itself fail, the error names the files already replaced.
void WriteFilesTogether(const std::vector<std::pair<FilePath, QByteArray>>& files);

// What reading a table file had to tell the operator about (lines it ignored,
// an unusual line end); empty when there was nothing.
using ReadNotes = QStringList;

// Calls take with each line read from device, without its line end (LF, or
// CR LF), until take returns false or the device ends. A file whose lines end
// with CR alone (no LF anywhere) is read line by line at its CRs, and a note
// says so. name is the file named in a FileError and in notes.
void ReadLines(QIODevice& device, const QString& name,
               const std::function<bool(const QByteArray&)>& take, ReadNotes* notes = nullptr);

// Calls take with each line of the file as ReadLines does. Returns false,
// without calling take, when the file does not exist.
bool ReadFileLines(const FilePath& path, const std::function<bool(const QByteArray&)>& take,
                   ReadNotes* notes = nullptr);

// The whole file; nullopt when it does not exist. At most maxBytes + 1 bytes
// are read, so a caller can tell a file that is too large.
std::optional<QByteArray> ReadFileBytes(const FilePath& path, qint64 maxBytes = -1);
