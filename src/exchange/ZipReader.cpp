#include "exchange/ZipReader.h"
#include "model/Language.h"

#include <unzip.h>

#include <algorithm>
#include <cstring>

// The bytes as a file for minizip: a position over the caller's array.
struct ZipReader::Stream
{
    const QByteArray* bytes = nullptr;
    qint64 position = 0;
};

namespace {

using Stream = ZipReader::Stream;

Stream* StreamOf(voidpf stream)
{
    return static_cast<ZipReader::Stream*>(stream);
}

voidpf OpenStream(voidpf opaque, const void*, int)
{
    return opaque;
}

uLong ReadStream(voidpf, voidpf stream, void* buffer, uLong size)
{
    Stream* s = StreamOf(stream);
    const qint64 left = s->bytes->size() - s->position;
    const qint64 count = std::clamp<qint64>(static_cast<qint64>(size), 0, std::max<qint64>(left, 0));
    std::memcpy(buffer, s->bytes->constData() + s->position, static_cast<size_t>(count));
    s->position += count;
    return static_cast<uLong>(count);
}

uLong WriteStream(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T TellStream(voidpf, voidpf stream)
{
    return static_cast<ZPOS64_T>(StreamOf(stream)->position);
}

long SeekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    Stream* s = StreamOf(stream);
    const qint64 size = s->bytes->size();
    if (offset > static_cast<ZPOS64_T>(size))
        return -1;
    const auto distance = static_cast<qint64>(offset);
    qint64 target = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        target = distance;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        target = s->position + distance;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        target = size + distance;
        break;
    default:
        return -1;
    }
    if (target < 0 || target > size)
        return -1;
    s->position = target;
    return 0;
}

int CloseStream(voidpf, voidpf)
{
    return 0;
}

int StreamError(voidpf, voidpf)
{
    return 0;
}

QString TooLarge(qint64 limit)
{
    return Tr("ZipReader", "TooLarge", "The workbook would inflate to more than %1 MB.")
        .arg(limit / (1024 * 1024));
}

} // namespace

ZipReader::ZipReader(const QByteArray& bytes, qint64 limit)
    : bytes_(bytes), stream_(std::make_unique<Stream>()), limit_(limit)
{
    stream_->bytes = &bytes_;
    zlib_filefunc64_def functions{OpenStream, ReadStream, WriteStream, TellStream,
                                  SeekStream, CloseStream, StreamError, stream_.get()};
    zip_ = unzOpen2_64(nullptr, &functions);
    if (zip_ == nullptr) {
        error_ = Tr("ZipReader", "NotXlsx", "The file is not an XLSX workbook.");
        return;
    }
    CheckDeclaredSizes();
}

ZipReader::~ZipReader()
{
    if (zip_ != nullptr)
        unzClose(zip_);
}

void ZipReader::CheckDeclaredSizes()
{
    qint64 declared = 0;
    for (int status = unzGoToFirstFile(zip_); status == UNZ_OK; status = unzGoToNextFile(zip_)) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            error_ = Tr("ZipReader", "BadContents", "The workbook's table of contents is damaged.");
            return;
        }
        declared += static_cast<qint64>(std::min<ZPOS64_T>(info.uncompressed_size, static_cast<ZPOS64_T>(limit_) + 1));
        if (declared > limit_) {
            error_ = TooLarge(limit_);
            return;
        }
    }
}

std::optional<QByteArray> ZipReader::Part(const QString& name)
{
    if (!Ok() || unzLocateFile(zip_, name.toUtf8().constData(), 1) != UNZ_OK)
        return std::nullopt;
    if (unzOpenCurrentFile(zip_) != UNZ_OK) {
        error_ = Tr("ZipReader", "Unreadable", "The workbook part %1 cannot be read.").arg(name);
        return std::nullopt;
    }
    QByteArray part;
    char chunk[16384];
    int got = 0;
    while ((got = unzReadCurrentFile(zip_, chunk, sizeof chunk)) > 0) {
        inflated_ += got;
        if (inflated_ > limit_) {
            error_ = TooLarge(limit_);
            break;
        }
        part.append(chunk, got);
    }
    if (got < 0)
        error_ = Tr("ZipReader", "Unreadable", "The workbook part %1 cannot be read.").arg(name);
    // Checks the part's CRC too.
    if (unzCloseCurrentFile(zip_) != UNZ_OK && Ok())
        error_ = Tr("ZipReader", "Damaged", "The workbook part %1 is damaged.").arg(name);
    return Ok() ? std::optional<QByteArray>(part) : std::nullopt;
}
