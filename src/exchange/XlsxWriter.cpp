#include "exchange/XlsxWriter.h"
#include "model/Language.h"

#include "files/FileError.h"
#include "files/FilePath.h"

#include <xlsxwriter.h>

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Value = SheetColumn::Value;

constexpr int kMinWidth = 6;
constexpr int kMaxWidth = 40;

struct ColumnFormats
{
    lxw_format* title = nullptr;
    QList<lxw_format*> cells;  // by column
};

lxw_format* NumberFormat(lxw_workbook* workbook, const SheetColumn& column)
{
    lxw_format* format = workbook_add_format(workbook);
    switch (column.value) {
    case Value::Text:
        format_set_num_format(format, "@");
        break;
    case Value::Whole:
        format_set_num_format(format, "0");
        break;
    case Value::Decimal:
        format_set_num_format(format, ("0." + QByteArray(column.decimals, '0')).constData());
        break;
    }
    return format;
}

ColumnFormats AddFormats(lxw_workbook* workbook, const QList<SheetColumn>& columns)
{
    ColumnFormats formats;
    formats.title = workbook_add_format(workbook);
    format_set_bold(formats.title);
    for (const SheetColumn& column : columns)
        formats.cells.append(NumberFormat(workbook, column));
    return formats;
}

double ColumnWidth(qsizetype index, const QStringList& titles, const QList<QStringList>& rows)
{
    qsizetype widest = index < titles.size() ? titles[index].size() : 0;
    for (const QStringList& row : rows)
        widest = std::max(widest, index < row.size() ? row[index].size() : 0);
    return static_cast<double>(std::clamp<qsizetype>(widest + 2, kMinWidth, kMaxWidth));
}

lxw_error WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const SheetColumn& column,
                    const QString& text, lxw_format* format)
{
    if (text.isEmpty())
        return LXW_NO_ERROR;
    if (const auto number = SheetNumber(column, text))
        return worksheet_write_number(sheet, row, col, *number, format);
    return worksheet_write_string(sheet, row, col, text.toUtf8().constData(), format);
}

lxw_error FillSheet(lxw_workbook* workbook, const QString& sheetName, const QList<SheetColumn>& columns,
                    const QStringList& titles, const QList<QStringList>& rows)
{
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.toUtf8().constData());
    if (sheet == nullptr)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    const ColumnFormats formats = AddFormats(workbook, columns);
    worksheet_freeze_panes(sheet, 1, 0);
    for (qsizetype c = 0; c < columns.size(); ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        worksheet_set_column(sheet, col, col, ColumnWidth(c, titles, rows), formats.cells[c]);
        const QByteArray title = c < titles.size() ? titles[c].toUtf8() : QByteArray();
        if (const lxw_error error = worksheet_write_string(sheet, 0, col, title.constData(), formats.title))
            return error;
    }
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < columns.size() && c < rows[r].size(); ++c) {
            if (const lxw_error error = WriteCell(sheet, static_cast<lxw_row_t>(r + 1), static_cast<lxw_col_t>(c),
                                                  columns[c], rows[r][c], formats.cells[c]))
                return error;
        }
    }
    return LXW_NO_ERROR;
}

} // namespace

void WriteXlsxSheet(const QString& path, const QString& sheetName, const QList<SheetColumn>& columns,
                    const QStringList& titles, const QList<QStringList>& rows)
{
    // The names are used as bytes (FilePath): a folder or file named in
    // Latin-1 bytes is written as itself.
    const FilePath target = FilePath(path).Absolute();
    QByteArray scratchName = target.Folder().Child('.' + target.FileName() + ".XXXXXX").Bytes();
    const int fd = ::mkstemp(scratchName.data());
    if (fd < 0)
        throw FileError(path, Tr("XlsxWriter", "CannotCreate", "cannot create the file (%1)")
                                  .arg(qt_error_string(errno)));
    // A temporary file is private to its owner; an exported sheet is not.
    ::fchmod(fd, 0644);
    ::close(fd);
    // Removed on every way out but the last.
    std::unique_ptr<const char, void (*)(const char*)> scratch(scratchName.constData(),
                                                             [](const char* name) { ::unlink(name); });

    lxw_workbook* workbook = workbook_new(scratchName.constData());
    if (workbook == nullptr)
        throw FileError(path,
                        Tr("XlsxWriter", "CannotCreateWorkbook", "cannot create the workbook"));
    const lxw_error filled = FillSheet(workbook, sheetName, columns, titles, rows);
    // Closing writes the file and frees the workbook, whatever happened before.
    const lxw_error closed = workbook_close(workbook);
    const lxw_error error = filled != LXW_NO_ERROR ? filled : closed;
    if (error != LXW_NO_ERROR)
        throw FileError(path, Tr("XlsxWriter", "CannotWrite", "cannot write the workbook (%1)")
                                  .arg(QString::fromUtf8(lxw_strerror(error))));
    if (std::rename(scratchName.constData(), target.Native()) != 0)
        throw FileError(path, Tr("XlsxWriter", "CannotReplace", "cannot replace the file (%1)")
                                  .arg(QString::fromLocal8Bit(std::strerror(errno))));
    scratch.release();
}
