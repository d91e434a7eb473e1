#pragma once

// Workbooks made by hand, and the parts of written ones.

#include "exchange/ZipReader.h"

#include <zip.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

using ZipPart = QPair<QString, QByteArray>;

inline QByteArray ZipOf(const QList<ZipPart>& parts)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("made.zip"));
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (zip == nullptr)
        return {};
    for (const ZipPart& part : parts) {
        zipOpenNewFileInZip64(zip, part.first.toUtf8().constData(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1);
        zipWriteInFileInZip(zip, part.second.constData(), static_cast<unsigned>(part.second.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray ZipPartOf(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    ZipReader zip(file.readAll(), 1 << 26);
    return zip.Part(name).value_or(QByteArray());
}

// A worksheet part holding the given <row> elements.
inline QByteArray WorksheetXml(const QByteArray& rows)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        + rows + "</sheetData></worksheet>";
}
