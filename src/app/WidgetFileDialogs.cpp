#include "app/WidgetFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDialog>

namespace {

const QString TableFileFilter = QStringLiteral("PLU files(*.PLU)");
const QString TableFileSuffix = QStringLiteral("PLU");

// Both dialogs start in the working directory and show only .PLU files; the
// .DEP and .RCY files follow the chosen name.
QString RunTableFileDialog(QWidget* parent, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDirectory(QDir::currentPath());
    dialog.setNameFilter(TableFileFilter);
    dialog.setDefaultSuffix(TableFileSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

} // namespace

QString WidgetFileDialogs::OpenTableFileName()
{
    return RunTableFileDialog(m_parent, QFileDialog::AcceptOpen);
}

QString WidgetFileDialogs::SaveTableFileName()
{
    return RunTableFileDialog(m_parent, QFileDialog::AcceptSave);
}

QString WidgetFileDialogs::ChooseOpenFile(const OpenFileFilter& filter)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(QDir::currentPath());
    dialog.setNameFilter(QStringLiteral("%1 (%2)").arg(filter.description, filter.pattern));
    dialog.setDefaultSuffix(filter.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

std::optional<QFont> WidgetFileDialogs::ChooseFont(const QFont& initial)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, initial, m_parent);
    if (!accepted)
        return std::nullopt;
    return font;
}
