#pragma once

#include <QString>
#include <Qt>

class QDialog;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableWidgetItem;
class QWidget;

// Small builders the dialogs share. Every widget carries its component name
// as objectName, which tests and the language file find it by.

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent,
                   QWidget* buddy = nullptr);
QPushButton* NamedButton(const QString& name, const QString& text, QWidget* parent);
QGroupBox* NamedGroup(const QString& name, const QString& title, QWidget* parent);

// The caption of a window that shows none. Left empty, the window system
// would show the program's name there instead, so it is a blank.
inline QString NoCaption()
{
    return QStringLiteral(" ");
}

// A cell of a list the operator reads but does not edit.
QTableWidgetItem* ReadOnlyItem(const QString& text, Qt::Alignment alignment = Qt::AlignLeft);

// The right-aligned row of a dialog's OK button (the default, "OKBtn") and
// Cancel button ("CancelBtn"), wired to accept and reject.
QHBoxLayout* OkCancelRow(QDialog& dialog);
