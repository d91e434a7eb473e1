#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

class SettingsContent;

// Raised when the settings file cannot be written (read-only file or folder,
// full disk, ...). Message: "Unable to write to <path>", followed by the
// system's reason when there is one (": cannot write the file (No space left
// on device)").
class SettingsWriteError : public std::runtime_error
{
public:
    explicit SettingsWriteError(const QString& path, const QString& reason = QString());

    const QString& Path() const { return m_path; }
    QString Message() const;

private:
    QString m_path;
    QString m_reason;
};

// SYSTEM.CFG (or any INI file) by section and key, read and changed as
// SettingsContent does in memory. Opening touches nothing and never fails;
// nothing is cached, so every read sees the file as it is at that moment and
// every write changes the file at once.
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

    // Numbers and flags as SettingsContent reads them.
    qint32 ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const;
    bool ReadFlag(const QString& section, const QString& key, bool defaultValue) const;

    // All writes throw SettingsWriteError when the file cannot be replaced.
    void WriteText(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, qint32 value);
    void WriteFlag(const QString& section, const QString& key, bool value);
    // Removes the key's line; the file is left alone when it has no such key.
    void RemoveKey(const QString& section, const QString& key);
    // Several keys of one section in one replacement of the file: all of them
    // change, or (on a failure) none.
    void WriteTexts(const QString& section, const std::vector<std::pair<QString, QString>>& values);

private:
    // Reads the file, applies the change and replaces the file when the
    // change says it changed something.
    void Change(const std::function<bool(SettingsContent&)>& change);

    QString m_path;
};
