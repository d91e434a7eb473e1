#pragma once

// INTERIM: minimal stand-ins for the table model and the document, used only
// until those classes are merged; this file is then deleted.

#include <QAbstractTableModel>
#include <QStringList>
#include <stdexcept>
#include <vector>

struct TextTables
{
    QStringList PLUTitles{"NO.", "Barcode", "Name", "Unit price", "Department",
                          "Stocks", "Flag", "Quantity", "Total"};
    QStringList DeptmentTitles{"NO.", "Name", "Tax", "Unit price"};
    QStringList RecyTitles{"PLU #", "Package price", "Barcode"};
    QStringList DownloadItemTips{"PLU", "department", "parameter"};
    QStringList UploadItemTips{"PLU", "department", "parameter"};
    QString ConnectText{"Connect"};
    QString DisconnectText{"Disconnect"};
    QString DownloadText{"Download:"};
    QString UploadText{"Upload:"};
    QString ReportNotClearText{"ECR report don't clear!"};
};
TextTables& Texts();

inline const int PLUMaxLens[9] = {5, 13, 18, 9, 1, 9, 1, 10, 10};
inline const int DeptmentMaxLens[4] = {1, 18, 1, 9};

class TextTable : public QAbstractTableModel
{
public:
    enum class Kind { PLU, Department };
    explicit TextTable(Kind kind, QObject* parent = nullptr);

    Kind TableKind() const { return m_kind; }
    int RowCount() const { return m_kind == Kind::PLU ? 3001 : 10; }
    int ColCount() const { return m_kind == Kind::PLU ? 9 : 4; }
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    void ResetGrid();
    bool IsHiddenColumn(int col) const { return col == (m_kind == Kind::PLU ? 6 : 3); }
    const QStringList& Titles() const;
    const int* MaxLens() const { return m_kind == Kind::PLU ? PLUMaxLens : DeptmentMaxLens; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Kind m_kind;
    std::vector<QString> m_cells;
};

class FileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class Document
{
public:
    Document(TextTable& plu, TextTable& dept) : m_plu(plu), m_dept(dept) {}
    QString CurrentFileName() const { return m_fileName; }
    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    void ClearDocument();
    void SaveDocument(const QString& path);
    void LoadDocument(const QString& path);
    QString Caption() const;

private:
    TextTable& m_plu;
    TextTable& m_dept;
    QString m_fileName;
    bool m_modified = false;
};

void FillTestData(TextTable& plu, TextTable& dept);
