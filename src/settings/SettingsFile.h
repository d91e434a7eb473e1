#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <stdexcept>

// Raised when the settings file cannot be written (read-only file or folder,
// full disk, ...). Message: "Unable to write to <path>".
class SettingsWriteError : public std::runtime_error
{
public:
    explicit SettingsWriteError(const QString& path);

    const QString& Path() const { return m_path; }
    QString Message() const;

private:
    QString m_path;
};

// SYSTEM.CFG (or any INI file) by section and key. Opening touches nothing and
// never fails; nothing is cached, so every read sees the file as it is at that
// moment and every write changes the file at once.
//
// A missing file, section or key reads as the default; the file comes into
// being at the first write. Each write replaces the whole file through a
// temporary file in the same folder, so a failure part-way leaves the old file
// whole. Lines the program does not know are kept byte for byte.
class SettingsFile
{
public:
    explicit SettingsFile(QString path);

    const QString& Path() const { return m_path; }

    QString ReadText(const QString& section, const QString& key,
                     const QString& defaultValue = QString()) const;

    // Signed decimal, or "0x"/"0X" and hexadecimal digits (up to 32 bits;
    // 0x80000000 and above read as negative numbers). Anything else, and a
    // number beyond 32 bits, reads as the default.
    qint32 ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const;

    // An integer read with default 1 or 0; any non-zero number is true.
    bool ReadFlag(const QString& section, const QString& key, bool defaultValue) const;

    // All writes throw SettingsWriteError when the file cannot be replaced.
    void WriteText(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, qint32 value);
    void WriteFlag(const QString& section, const QString& key, bool value);
    // Several keys of one section in a single replacement of the file.
    void WriteTexts(const QString& section, const QList<QPair<QString, QString>>& values);

private:
    QString m_path;
};
