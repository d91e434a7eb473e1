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
    QString Folder() const override { return m_folder; }
    void SetFolder(const QString& folder) override { m_folder = folder; }

private:
    QString Run(int mode, const QString& filter, const QString& defaultSuffix);

    QWidget* m_parent;
    QString m_folder;
};
