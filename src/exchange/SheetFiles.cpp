#include "exchange/SheetFiles.h"
#include "model/Language.h"

#include "exchange/CsvSheet.h"
#include "exchange/XlsxReader.h"
#include "files/FileError.h"
#include "files/FileIo.h"
#include "model/CountWords.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

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
        return Failed(path, Tr("SheetFiles", "NotASheet", "a sheet is a .csv or .xlsx file"));
    std::optional<QByteArray> bytes;
    try {
        // One byte past the limit tells a file that is too large.
        bytes = ReadFileBytes(path, SheetLimits::kMaxBytes);
    } catch (const FileError& error) {
        return Failed(path, error.Reason());
    }
    if (!bytes)
        return Failed(
            path, Tr("SheetFiles", "NoFile", "cannot open the file (No such file or directory)"));
    if (bytes->size() > SheetLimits::kMaxBytes)
        return Failed(path, Tr("SheetFiles", "TooLarge", "the file is larger than %1 MB")
                                .arg(SheetLimits::kMaxBytes / (1024 * 1024)));
    SheetRead read = *format == SheetFormat::Csv ? ReadCsvSheet(*bytes) : ReadXlsxSheet(*bytes);
    if (!read.Ok())
        read.error = QStringLiteral("%1: %2").arg(path, read.error);
    return read;
}

int ExportTableFile(const TextTable& table, const QString& path, const ExportOptions& options)
{
    const auto format = SheetFormatOf(path);
    if (!format)
        throw FileError(path, Tr("SheetFiles", "NotASheet", "a sheet is a .csv or .xlsx file"));
    if (*format == SheetFormat::Csv)
        WriteFileAtomically(path, TableCsvBytes(table, options));
    else
        WriteTableXlsx(table, path, options.allRows);
    // The title line is not a row of the table.
    return int(TableSheetRows(table, options.allRows).size()) - 1;
}

namespace {

QString RowsText(TableKind kind, int rows)
{
    const int count = qMax(rows, 0);
    if (kind == TableKind::PLU)
        return CountWords("SheetFiles", "Plus", count, "1 PLU", "%1 PLUs");
    return CountWords("SheetFiles", "Departments", count, "1 department", "%1 departments");
}

} // namespace

QString ExportDoneText(TableKind kind, int rows, const QString& path)
{
    return Tr("SheetFiles", "Exported", "Exported %1 to %2")
        .arg(RowsText(kind, rows), QFileInfo(path).fileName());
}

QString ImportDoneText(TableKind kind, int changedRows, const QString& path)
{
    return Tr("SheetFiles", "Imported", "Imported %1: %2 changed")
        .arg(QFileInfo(path).fileName(), RowsText(kind, changedRows));
}
