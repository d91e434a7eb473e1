#include "link/LinkTrace.h"

#include "files/FileIo.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

QStringList LinkTrace::FormatBytes(std::span<const quint8> bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QStringList lines;
    QString line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        line += QLatin1Char(kDigits[bytes[i] >> 4]);
        line += QLatin1Char(kDigits[bytes[i] & 0x0F]);
        line += QLatin1Char(' ');
        if (i % kBytesPerLine == kBytesPerLine - 1) {
            lines << line;
            line.clear();
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

void LinkTrace::AddRetryMarker(int retry)
{
    m_lines << QString() << QStringLiteral("Retry:") + QString::number(retry);
}

void LinkTrace::AddBlock(const QString& heading, std::span<const quint8> bytes)
{
    m_lines << heading;
    m_lines << FormatBytes(bytes);
    m_lines << QString();
}

QByteArray LinkTrace::Text() const
{
    QByteArray text;
    for (const QString& line : m_lines) {
        text += line.toLatin1();
        text += "\r\n";
    }
    return text;
}

void LinkTrace::WriteFile(const QString& path) const
{
    WriteFileAtomically(path, Text());
}

void LinkTrace::AppendToFile(const QString& path) const
{
    const QByteArray text = Text();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(text) != text.size() || !file.flush())
        throw std::runtime_error(QStringLiteral("Unable to write to %1: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString())
                                     .toLocal8Bit()
                                     .toStdString());
}
