#pragma once

#include "history/SalesReading.h"
#include "reports/SalesReport.h"

#include <QDialog>

#include <functional>
#include <vector>

class HistoryStore;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QTableWidget;
class TextTable;

// Reports > Sales...: what sold, from the document's current figures or from
// the readings the uploads kept of a register (RegisterBox), over a period
// (PeriodBox with its quick choices, FromBox and ToBox), in one of the views
// (ViewBox), with a chart where the view has one (ChartView) and the table
// (ReportTable). The shown view prints, previews, goes to a PDF with its chart,
// or to a CSV or XLSX sheet.
class TSalesReportDlg : public QDialog
{
    Q_OBJECT

public:
    // The file to write (the operator agreed to replace an existing one), or
    // empty when cancelled; a notice for the main window's status bar.
    struct Hooks
    {
        std::function<QString(const QString& title, const QString& filter)> saveFileName;
        std::function<void(const QString& text)> notice;
        std::function<void(const QString& text)> error;
    };

    // The quick choices of the period, in PeriodBox's order.
    enum class Quick { LastReading, Today, ThisWeek, ThisMonth, Everything, Chosen };

    TSalesReportDlg(HistoryStore& store, const TextTable& plu, const TextTable& departments, Hooks hooks,
                    QWidget* parent);

    const SalesReport& Report() const { return m_report; }

private:
    void FillRegisters();
    void RegisterChanged();
    void QuickChanged();
    void ReadingChosen();
    void Refresh();
    std::optional<SalesFigures> Figures();
    void ShowTable();
    void ShowChart();
    void PaintPages(QPainter& painter, QPagedPaintDevice& device);
    void PrintClick();
    void PreviewClick();
    void SavePdfClick();
    void ExportClick();
    void WriteFile(const QString& path, const std::function<void()>& write);

    HistoryStore& m_store;
    const TextTable& m_plu;
    const TextTable& m_departments;
    Hooks m_hooks;
    std::vector<SalesReading> m_readings;   // of the chosen register, oldest first
    SalesReport m_report;
    bool m_filling = false;

    QComboBox* m_register;
    QComboBox* m_period;
    QComboBox* m_from;
    QComboBox* m_to;
    QComboBox* m_view;
    QLineEdit* m_threshold;
    QLabel* m_description;
    QChartView* m_chart;
    QTableWidget* m_table;
};
