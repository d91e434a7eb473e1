#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// The parts of a zip archive held in memory (minizip's unzip over the bytes).
// What the parts inflate to is capped as a whole, so an archive that lies
// about its sizes cannot fill the memory.
class ZipReader
{
public:
    // Opens the archive; Ok() tells whether it is one. limit caps the sum of
    // the parts' inflated sizes, as declared and as read.
    ZipReader(const QByteArray& bytes, qint64 limit);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool Ok() const { return error_.isEmpty(); }
    QString Error() const { return error_; }

    // The inflated part; nothing when it does not exist, cannot be read or
    // would pass the limit (Error() then tells).
    std::optional<QByteArray> Part(const QString& name);

    // The bytes as minizip reads them (defined with the reader's callbacks).
    struct Stream;

private:

    void CheckDeclaredSizes();

    QByteArray bytes_;
    std::unique_ptr<Stream> stream_;
    void* zip_ = nullptr;
    qint64 limit_ = 0;
    qint64 inflated_ = 0;
    QString error_;
};
