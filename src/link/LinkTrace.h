#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <span>

// The text record of the link's traffic: every block sent, every frame or
// acknowledgement accepted, and a marker before each retransmission. It is
// kept in memory while the port is open and written out when it closes.
class LinkTrace
{
public:
    static constexpr int kBytesPerLine = 16;

    static QString SendHeading() { return QStringLiteral(">>>>>>Send data<<<<<<<<"); }
    static QString ReceiveHeading() { return QStringLiteral(">>>>>>Receive data<<<<<<<<"); }

    // Two uppercase hexadecimal digits and a blank per byte, 16 bytes to a
    // line; a shorter last line holds the rest; nothing for no bytes.
    static QStringList FormatBytes(std::span<const quint8> bytes);

    void AddSendBlock(std::span<const quint8> bytes) { AddBlock(SendHeading(), bytes); }
    void AddReceiveBlock(std::span<const quint8> bytes) { AddBlock(ReceiveHeading(), bytes); }
    // An empty line and "Retry:" followed by the retransmission number.
    void AddRetryMarker(int retry);

    void Clear() { m_lines.clear(); }
    const QStringList& Lines() const { return m_lines; }

    // Replaces the file with the lines, each ended by CR LF. Throws
    // std::runtime_error when the file cannot be written.
    void WriteFile(const QString& path) const;
    // Adds the lines at the end of the file, which is made when missing.
    // Throws std::runtime_error when the file cannot be written.
    void AppendToFile(const QString& path) const;

private:
    QByteArray Text() const;
    void AddBlock(const QString& heading, std::span<const quint8> bytes);

    QStringList m_lines;
};
