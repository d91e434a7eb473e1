#include "files/FilePath.h"

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

constexpr char16_t kKeptByte = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[at], or 0.
int Utf8Length(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return uchar(bytes.at(i)); };
    const uchar lead = byte(at);
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;    // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;   // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;   // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

bool IsKeptByte(char16_t c)
{
    return c >= kKeptByte + 0x80 && c <= kKeptByte + 0xFF;
}

} // namespace

FilePath::FilePath(const QString& text)
{
    // Valid text between the kept bytes goes out as UTF-8.
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsKeptByte(text.at(i).unicode()))
            continue;
        bytes_ += QStringView(text).mid(start, i - start).toUtf8();
        if (i < text.size())
            bytes_ += char(text.at(i).unicode() - kKeptByte);
        start = i + 1;
    }
}

FilePath FilePath::FromBytes(const QByteArray& bytes)
{
    FilePath path;
    path.bytes_ = bytes;
    return path;
}

QString FilePath::Text() const
{
    QString text;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i <= bytes_.size()) {
        const int length = i < bytes_.size() ? Utf8Length(bytes_, i) : 0;
        if (length > 0) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes_.mid(start, i - start));
        if (i < bytes_.size())
            text += QChar(char16_t(kKeptByte + uchar(bytes_.at(i))));
        start = ++i;
    }
    return text;
}

QString FilePath::Readable(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown) {
        if (IsKeptByte(c.unicode()))
            c = QChar(char16_t(c.unicode() - kKeptByte));
    }
    return shown;
}

FilePath FilePath::Absolute() const
{
    if (bytes_.startsWith('/'))
        return *this;
    const std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
    if (!current)
        return *this;
    QByteArray relative = bytes_;
    while (relative.startsWith("./"))
        relative.remove(0, 2);
    return FromBytes(QByteArray(current.get()) + '/' + (relative == "." ? QByteArray() : relative));
}

FilePath FilePath::Folder() const
{
    QByteArray path = bytes_;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return FromBytes(".");
    return FromBytes(slash == 0 ? QByteArray("/") : path.left(slash));
}

QByteArray FilePath::FileName() const
{
    return bytes_.mid(bytes_.lastIndexOf('/') + 1);
}

FilePath FilePath::Child(const QByteArray& name) const
{
    return FromBytes(bytes_.endsWith('/') ? bytes_ + name : bytes_ + '/' + name);
}

FilePath FilePath::WithExtension(const QByteArray& extension) const
{
    const qsizetype nameStart = bytes_.lastIndexOf('/') + 1;
    const qsizetype dot = bytes_.lastIndexOf('.');
    return FromBytes((dot >= nameStart ? bytes_.left(dot) : bytes_) + extension);
}

std::optional<struct stat> FilePath::State(bool noFollow) const
{
    struct stat state{};
    const int result = noFollow ? ::lstat(Native(), &state) : ::stat(Native(), &state);
    if (bytes_.isEmpty() || result != 0)
        return std::nullopt;
    return state;
}

bool FilePath::IsFile() const
{
    const auto state = State();
    return state && S_ISREG(state->st_mode);
}

bool FilePath::IsFolder() const
{
    const auto state = State();
    return state && S_ISDIR(state->st_mode);
}
