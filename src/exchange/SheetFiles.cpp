#include "exchange/SheetFiles.h"

#include "exchange/CsvSheet.h"
#include "exchange/XlsxReader.h"
#include "files/FileError.h"
#include "files/FileIo.h"

#include <QFileInfo>

namespace {

SheetRead Failed(const QString& path, const QString& reason)
{
    SheetRead read;
    read.error = QStringLiteral("%1: %2").arg(path, reason);
    return read;
}

} // namespace

std::optional<SheetFormat> SheetFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return SheetFormat::Csv;
    if (suffix == QLatin1String("xlsx"))
        return SheetFormat::Xlsx;
    return std::nullopt;
}

SheetRead ReadSheetFile(const QString& path)
{
    const auto format = SheetFormatOf(path);
    if (!format)
        return Failed(path, QStringLiteral("a sheet is a .csv or .xlsx file"));
    std::optional<QByteArray> bytes;
    try {
        // One byte past the limit tells a file that is too large.
        bytes = ReadFileBytes(path, SheetLimits::kMaxBytes);
    } catch (const FileError& error) {
        return Failed(path, error.Reason());
    }
    if (!bytes)
        return Failed(path, QStringLiteral("cannot open the file (No such file or directory)"));
    if (bytes->size() > SheetLimits::kMaxBytes)
        return Failed(path, QStringLiteral("the file is larger than %1 MB").arg(SheetLimits::kMaxBytes / (1024 * 1024)));
    SheetRead read = *format == SheetFormat::Csv ? ReadCsvSheet(*bytes) : ReadXlsxSheet(*bytes);
    if (!read.Ok())
        read.error = QStringLiteral("%1: %2").arg(path, read.error);
    return read;
}

void ExportTableFile(const TextTable& table, const QString& path, const ExportOptions& options)
{
    const auto format = SheetFormatOf(path);
    if (!format)
        throw FileError(path, QStringLiteral("a sheet is a .csv or .xlsx file"));
    if (*format == SheetFormat::Csv)
        WriteFileAtomically(path, TableCsvBytes(table, options));
    else
        WriteTableXlsx(table, path, options.allRows);
}
