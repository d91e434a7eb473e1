#include "link/LinkTrace.h"

#include "files/FileIo.h"

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

void LinkTrace::WriteFile(const QString& path) const
{
    QByteArray text;
    for (const QString& line : m_lines) {
        text += line.toLatin1();
        text += "\r\n";
    }
    WriteFileAtomically(path, text);
}
