#pragma once

#include "doctor/ConnectionDoctor.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TQelmIBusComm;

// "Connection check": runs the connection doctor on the current port when it
// opens and shows its checklist line by line, each failure with its remedy.
// "Check again" repeats it; Close (or Escape) ends a check in progress: the
// rate being tried is abandoned and no further rate is tried. The check's
// exchanges are added to DEBUG.LOG after the trace already there.
class TConnectionCheckDlg : public QDialog
{
    Q_OBJECT

public:
    using LinkFactory = std::function<std::unique_ptr<TQelmIBusComm>()>;

    // `makeLink` gives the check its own link for each run (the production
    // link unless a test gives another).
    explicit TConnectionCheckDlg(QWidget* parent = nullptr, LinkFactory makeLink = {});
    ~TConnectionCheckDlg() override;

    void SetPaths(const DoctorPaths& paths) { m_paths = paths; }

    // Shows the dialog modally and checks `portName` at once.
    void Run(const QString& portName);
    // One check, the report replacing the previous one.
    void Check();

    QString Report() const;
    QString Summary() const;

    void reject() override;

private:
    void AddLine(const DoctorLine& line);

    LinkFactory m_makeLink;
    DoctorPaths m_paths;
    QString m_portName;
    std::unique_ptr<TQelmIBusComm> m_link;
    bool m_stopRequested = false;
    QPlainTextEdit* m_report;
    QLabel* m_summary;
    QPushButton* m_againButton;
};
