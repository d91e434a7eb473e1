#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

#include <optional>

// A file's name as the system knows it: bytes. A name given on the command
// line need not be valid UTF-8 (a Latin-1 "K\xC4SE.PLU"); the file layer opens,
// writes and renames it by these bytes, so it is worked on as itself.
//
// Between the command line and the file layer such a name may travel as a
// QString: each byte that is not part of valid UTF-8 is kept as the character
// U+DC00 + byte (a lone surrogate, which no real text holds), so the way back
// gives the same bytes. Only Shown() is meant for the operator's eyes.
class FilePath
{
public:
    FilePath() = default;
    // A name from Qt, a dialog or the command line (see Text()).
    FilePath(const QString& text);   // NOLINT: every QString path is a FilePath
    FilePath(const char* text) : FilePath(QString::fromUtf8(text)) {}   // NOLINT: as text
    static FilePath FromBytes(const QByteArray& bytes);

    const QByteArray& Bytes() const { return bytes_; }
    const char* Native() const { return bytes_.constData(); }
    bool IsEmpty() const { return bytes_.isEmpty(); }

    // The name as a QString that comes back as the same bytes.
    QString Text() const;
    // The name as the operator reads it: bytes outside UTF-8 as the Latin-1
    // characters they stand for.
    QString Shown() const { return Readable(Text()); }
    // text with every kept byte shown as its Latin-1 character.
    static QString Readable(const QString& text);

    // The name joined to the working folder when relative.
    FilePath Absolute() const;
    // The folder part ("." for a bare name) and the last part.
    FilePath Folder() const;
    QByteArray FileName() const;
    FilePath Child(const QByteArray& name) const;
    // The name with its extension (from the last '.' of the last part)
    // replaced; a name without one gets it.
    FilePath WithExtension(const QByteArray& extension) const;

    // The file's state (lstat when noFollow); nullopt with errno set when
    // there is none.
    std::optional<struct stat> State(bool noFollow = false) const;
    bool Exists() const { return State().has_value(); }
    bool IsFile() const;
    bool IsFolder() const;

    friend bool operator==(const FilePath& a, const FilePath& b) { return a.bytes_ == b.bytes_; }

private:
    QByteArray bytes_;
};
