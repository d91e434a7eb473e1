#pragma once

#include "commands/SeveralRegisters.h"
#include "config/RegisterList.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TextTable;

// Communication > Send to registers... and Compare with registers...: the
// registers ticked in RegisterList run the command side by side. Send takes
// the tables (PluBox, DeptBox, ParamBox), a full or changes-only download
// (FullRadio, ChangesRadio) and an optional read-back (VerifyBox). While they
// run, ProgressGrid has a row per register (step, package n of m, outcome);
// CancelBtn stops all of them through each one's log-out. Then SummaryLabel
// tells each outcome and RetryBtn runs the failed ones again.
class TSeveralRegistersDlg : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { Send, Compare };

    TSeveralRegistersDlg(Mode mode, const RegisterList& registers, const TextTable& plu,
                         const TextTable& departments, const QString& settingsPath, const RegisterLinkOptions& link,
                         QWidget* parent);

    bool IsRunning() const { return m_run.IsRunning(); }
    // The registers that ended without success in the last run.
    const std::vector<int>& FailedRows() const { return m_failed; }

    void reject() override;

signals:
    // Every register of a run has ended.
    void RunFinished();

private:
    void BuildChoice();
    void StartClicked();
    void Start(const std::vector<int>& rows);
    RegisterCommandRequest Request() const;
    void ShowStep(int index, const QString& text);
    void ShowPackage(int index, int current, int total);
    void ShowNotice(int index, const QString& text);
    void ShowEnd(int index);
    void ShowSummary();
    void SetCell(int row, int column, const QString& text);
    QString Text(const char* key, const char* english) const;
    QString OutcomeText(const RegisterCommandResult& result) const;
    void SetChoiceEnabled(bool enabled);

    const Mode m_mode;
    const RegisterList m_registers;
    const TextTable& m_plu;
    const TextTable& m_departments;
    const QString m_settingsPath;
    const RegisterLinkOptions m_link;
    SeveralRegisters m_run;
    // The dialog's row of each register of the current run.
    std::vector<int> m_rowsOfRun;
    std::vector<int> m_failed;

    QListWidget* m_list = nullptr;
    QCheckBox* m_pluBox = nullptr;
    QCheckBox* m_deptBox = nullptr;
    QCheckBox* m_paramBox = nullptr;
    QRadioButton* m_fullRadio = nullptr;
    QRadioButton* m_changesRadio = nullptr;
    QCheckBox* m_verifyBox = nullptr;
    QTableWidget* m_grid = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_retry = nullptr;
    QPushButton* m_close = nullptr;
};
