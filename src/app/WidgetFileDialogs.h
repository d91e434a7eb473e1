#pragma once

#include "app/FileDialogs.h"

class QWidget;

// The file and font choices as real Qt dialogs over `parent`.
class WidgetFileDialogs : public IFileDialogs
{
public:
    explicit WidgetFileDialogs(QWidget* parent = nullptr) : m_parent(parent) {}

    QString OpenTableFileName() override;
    QString SaveTableFileName() override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    QString ChooseOpenFile(const OpenFileFilter& filter) override;

private:
    QWidget* m_parent;
};
