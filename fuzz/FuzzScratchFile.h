#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

// A file in the temporary folder that each fuzz input is written to, for
// readers that take a path; named after the process so parallel fuzzers do
// not share it, and removed when the fuzzer exits.
class FuzzScratchFile
{
public:
    // `name` holds %1 for the process id, e.g. "fuzz_recy_%1.RCY".
    explicit FuzzScratchFile(const QString& name)
        : m_path(QDir::temp().filePath(name.arg(QCoreApplication::applicationPid())))
    {
    }
    ~FuzzScratchFile() { QFile::remove(m_path); }
    FuzzScratchFile(const FuzzScratchFile&) = delete;
    FuzzScratchFile& operator=(const FuzzScratchFile&) = delete;

    const QString& Path() const { return m_path; }

    // Replaces the file's content with the input; false when it cannot.
    bool Write(const uint8_t* data, size_t size) const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        return file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size))
               == static_cast<qint64>(size);
    }

private:
    QString m_path;
};
