#include "app/WidgetFileDialogs.h"

#include "model/Language.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDialog>

namespace {

const QString TableFileSuffix = QStringLiteral("PLU");

QString TableFileFilter()
{
    return Tr("FileDialogs", "TableFiles", "PLU files") + QStringLiteral("(*.PLU)");
}

// Every dialog starts in the folder given (the working directory when it is
// empty or gone) and shows only the files of its filter; an open dialog takes
// only a file that exists.
QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                      const QString& defaultSuffix, const QString& folder)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDirectory(!folder.isEmpty() && QDir(folder).exists() ? folder : QDir::currentPath());
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

} // namespace

QString WidgetFileDialogs::Run(int mode, const QString& filter, const QString& defaultSuffix)
{
    const QString path = RunFileDialog(m_parent, QFileDialog::AcceptMode(mode), filter,
                                       defaultSuffix, m_folder);
    if (!path.isEmpty())
        m_folder = QFileInfo(path).absolutePath();
    return path;
}

QString WidgetFileDialogs::OpenTableFileName()
{
    // The .DEP and .RCY files follow the chosen .PLU name.
    return Run(QFileDialog::AcceptOpen, TableFileFilter(), TableFileSuffix);
}

QString WidgetFileDialogs::SaveTableFileName()
{
    return Run(QFileDialog::AcceptSave, TableFileFilter(), TableFileSuffix);
}

QString WidgetFileDialogs::ChooseOpenFile(const OpenFileFilter& filter)
{
    return Run(QFileDialog::AcceptOpen,
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
