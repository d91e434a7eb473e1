#include "app/WidgetFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDialog>

namespace {

const QString TableFileFilter = QStringLiteral("PLU files(*.PLU)");
const QString TableFileSuffix = QStringLiteral("PLU");

// Every dialog starts in the working directory and shows only the files of
// its filter; an open dialog takes only a file that exists.
QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                      const QString& defaultSuffix)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDirectory(QDir::currentPath());
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

// The .DEP and .RCY files follow the chosen .PLU name.
QString RunTableFileDialog(QWidget* parent, QFileDialog::AcceptMode mode)
{
    return RunFileDialog(parent, mode, TableFileFilter, TableFileSuffix);
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
    return RunFileDialog(m_parent, QFileDialog::AcceptOpen,
                         QStringLiteral("%1 (%2)").arg(filter.description, filter.pattern),
                         filter.defaultSuffix);
}

std::optional<QFont> WidgetFileDialogs::ChooseFont(const QFont& initial)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, initial, m_parent);
    if (!accepted)
        return std::nullopt;
    return font;
}
