#pragma once

#include "config/RegisterList.h"

#include <QDialog>

#include <functional>

class QLabel;
class QTableWidget;

// Communication > Registers...: the shop's named registers, one row each
// (RegistersGrid: name, port, line rate, the last test's outcome). Add,
// Rename and Remove edit the list; Test runs the connection test on the
// chosen register through `test`, which returns the outcome to show. OK
// keeps the list only when RegisterListProblem has nothing against it
// (ProblemLabel says what otherwise).
class TRegistersDlg : public QDialog
{
    Q_OBJECT

public:
    using Tester = std::function<QString(const NamedRegister&)>;

    TRegistersDlg(const RegisterList& registers, Tester test, QWidget* parent);

    // The list as the grid shows it.
    RegisterList Registers() const;

    void accept() override;

private:
    void AddRow(const NamedRegister& entry);
    void AddClicked();
    void RenameClicked();
    void RemoveClicked();
    void TestClicked();
    NamedRegister RowRegister(int row) const;

    Tester m_test;
    QTableWidget* m_grid = nullptr;
    QLabel* m_problem = nullptr;
};
