#pragma once

#include "files/FilePath.h"

#include <QString>

#include <chrono>

// The advisory lock (flock) of a document: taken on its .PLU file by every
// command that reads, changes and writes the document, and by every save, so
// that two of them never work on one document at once and lose one's work.
// While the .PLU file does not exist yet, its folder is locked in its place.
// A lock that is not free is waited for a few seconds; Holder() then names
// the program that has it. The lock ends with the object (or the process).
class DocumentLock
{
public:
    static constexpr std::chrono::milliseconds kWait{5000};

    explicit DocumentLock(const FilePath& document, std::chrono::milliseconds wait = kWait);
    ~DocumentLock();
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    const FilePath& Document() const { return document_; }
    // Who has the lock when it could not be taken: "plu-cli (process 4711)",
    // or the reason it could not be tried.
    const QString& Holder() const { return holder_; }
    // "in use by <holder>; try again when it has finished", to follow the
    // document's name.
    QString Refusal() const;

private:
    enum class Try { Held, Busy, Again, Failed };
    Try TryOnce();
    static QString HolderOf(const struct stat& locked);

    FilePath document_;
    int fd_ = -1;
    QString holder_;
};
