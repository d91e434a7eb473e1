// INTERIM: see Interim.h.
#include "app/Interim.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

TextTables& Texts()
{
    static TextTables texts;
    return texts;
}

TextTable::TextTable(Kind kind, QObject* parent) : QAbstractTableModel(parent), m_kind(kind)
{
    m_cells.resize(size_t(RowCount() * ColCount()));
    ResetGrid();
}

QString TextTable::Cell(int col, int row) const
{
    return m_cells[size_t(row * ColCount() + col)];
}

void TextTable::SetCell(int col, int row, const QString& text)
{
    m_cells[size_t(row * ColCount() + col)] = text;
    if (row > 0 && col > 0)
        emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1));
}

void TextTable::ResetGrid()
{
    static const QStringList pluDefaults{"", "", "", "0.00", "1", "0.000", "0", "0", "0"};
    static const QStringList deptDefaults{"", "", "1", "0.00"};
    const QStringList& defaults = m_kind == Kind::PLU ? pluDefaults : deptDefaults;
    beginResetModel();
    for (int r = 1; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            m_cells[size_t(r * ColCount() + c)] = defaults[c];
    endResetModel();
}

const QStringList& TextTable::Titles() const
{
    return m_kind == Kind::PLU ? Texts().PLUTitles : Texts().DeptmentTitles;
}

int TextTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount() - 1;
}

int TextTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColCount() - 1;
}

QVariant TextTable::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return Cell(index.column() + 1, index.row() + 1);
}

bool TextTable::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole)
        return false;
    SetCell(index.column() + 1, index.row() + 1, value.toString());
    return true;
}

Qt::ItemFlags TextTable::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant TextTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return Titles().value(section + 1);
    return QString::number(section + 1);
}

namespace {
QString WithExtension(const QString& path, const QString& ext)
{
    const QFileInfo info(path);
    return info.path() + '/' + info.completeBaseName() + ext;
}

void WriteTable(const TextTable& table, const QString& path, int keyColumn)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(("Cannot create " + path).toStdString());
    for (int r = 1; r < table.RowCount(); ++r) {
        if (table.Cell(keyColumn, r).isEmpty())
            continue;
        QStringList fields;
        for (int c = 1; c < table.ColCount(); ++c)
            fields << table.Cell(c, r);
        file.write(fields.join('\t').toLatin1() + "\r\n");
    }
}

void ReadTable(TextTable& table, const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(("Cannot read " + path).toStdString());
    int row = 0;
    while (!file.atEnd() && row < table.RowCount() - 1) {
        const QString line = QString::fromLatin1(file.readLine()).remove('\r').remove('\n');
        ++row;
        const QStringList fields = line.split('\t');
        for (int j = 0; j < fields.size() && j + 1 < table.ColCount(); ++j)
            table.SetCell(j + 1, row, fields[j]);
    }
}
} // namespace

void Document::ClearDocument()
{
    m_plu.ResetGrid();
    m_dept.ResetGrid();
    m_fileName.clear();
    m_modified = false;
}

void Document::SaveDocument(const QString& path)
{
    m_fileName = QFileInfo(path).absoluteFilePath();
    WriteTable(m_plu, path, 2);
    WriteTable(m_dept, WithExtension(path, ".DEP"), 1);
    m_modified = false;
}

void Document::LoadDocument(const QString& path)
{
    m_fileName = QFileInfo(path).absoluteFilePath();
    ReadTable(m_plu, path);
    ReadTable(m_dept, WithExtension(path, ".DEP"));
    m_modified = false;
}

QString Document::Caption() const
{
    const QString title = "TQR716 PLU manager";
    return m_fileName.isEmpty() ? title : title + "~[" + m_fileName + "]";
}

void FillTestData(TextTable& plu, TextTable& dept)
{
    for (int r = 1; r < plu.RowCount(); ++r)
        plu.SetCell(2, r, "PLU-" + QString::number(r));
    for (int r = 1; r < dept.RowCount(); ++r)
        dept.SetCell(1, r, "Deptment-" + QString::number(r));
}
