#include "app/LanguageFile.h"

#include "model/Texts.h"
#include "config/AppPaths.h"
#include "config/LanguageTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// The property that holds what the operator reads on a control, or nullptr for
// controls whose text is data (edit fields) or comes from an action.
const char* TextPropertyOf(const QWidget& widget)
{
    if (const auto* tool = qobject_cast<const QToolButton*>(&widget); tool && tool->defaultAction())
        return nullptr;
    if (qobject_cast<const QLabel*>(&widget) || qobject_cast<const QAbstractButton*>(&widget))
        return "text";
    if (qobject_cast<const QGroupBox*>(&widget) || qobject_cast<const QMenu*>(&widget))
        return "title";
    if (qobject_cast<const QToolBar*>(&widget) || qobject_cast<const QMenuBar*>(&widget))
        return "windowTitle";
    return nullptr;
}

void ApplyToWidget(const LanguageTexts& texts, const QString& section, QWidget& widget)
{
    const QString name = widget.objectName();
    if (const char* property = TextPropertyOf(widget)) {
        const QString text = widget.property(property).toString();
        if (!text.isEmpty())
            widget.setProperty(property, texts.Text(section, name + QStringLiteral(".Caption"), text));
    }
    if (!widget.toolTip().isEmpty())
        widget.setToolTip(texts.Text(section, name + QStringLiteral(".Hint"), widget.toolTip()));
}

// Qt makes up a tool tip from an action's text when none is set, so an
// action's hint is its status tip, which the main window sets together with the
// tool tip.
void ApplyToAction(const LanguageTexts& texts, const QString& section, QAction& action)
{
    const QString name = action.objectName();
    if (!action.text().isEmpty())
        action.setText(texts.Text(section, name + QStringLiteral(".Caption"), action.text()));
    if (!action.statusTip().isEmpty()) {
        const QString hint = texts.Text(section, name + QStringLiteral(".Hint"), action.statusTip());
        action.setStatusTip(hint);
        action.setToolTip(hint);
    }
}

bool IsOwnWindow(const QObject& object)
{
    const auto* widget = qobject_cast<const QWidget*>(&object);
    return widget != nullptr && widget->isWindow() && qobject_cast<const QMenu*>(widget) == nullptr;
}

// Walks the components a window owns, stopping at other windows (dialogs owned
// by the main window have sections of their own).
void ApplyToComponents(const LanguageTexts& texts, const QString& section, QObject& parent)
{
    for (QObject* child : parent.children()) {
        if (IsOwnWindow(*child))
            continue;
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_"))) {
            if (auto* widget = qobject_cast<QWidget*>(child))
                ApplyToWidget(texts, section, *widget);
            else if (auto* action = qobject_cast<QAction*>(child))
                ApplyToAction(texts, section, *action);
        }
        ApplyToComponents(texts, section, *child);
    }
}

void ApplyToWindow(const LanguageTexts& texts, QWidget& window)
{
    const QString section = window.objectName();
    if (section.isEmpty())
        return;
    if (!window.windowTitle().isEmpty())
        window.setWindowTitle(texts.Text(section, QStringLiteral("Caption"), window.windowTitle()));
    ApplyToComponents(texts, section, window);
}

template <std::size_t N>
void ApplyToList(const LanguageTexts& texts, const QString& section, std::array<QString, N>& entries)
{
    for (std::size_t i = 0; i < N; ++i)
        entries[i] = texts.Text(section, QString::number(i), entries[i]);
}

void ApplyToTextTables(const LanguageTexts& texts)
{
    auto& tables = Texts();
    ApplyToList(texts, QStringLiteral("PLU Titles"), tables.PLUTitles);
    ApplyToList(texts, QStringLiteral("Deptment Titles"), tables.DeptmentTitles);
    ApplyToList(texts, QStringLiteral("Recy Titles"), tables.RecyTitles);
    ApplyToList(texts, QStringLiteral("DownloadItem Tips"), tables.DownloadItemTips);
    ApplyToList(texts, QStringLiteral("UploadItem Tips"), tables.UploadItemTips);

    const QString strings = QStringLiteral("String");
    tables.ConnectText = texts.Text(strings, QStringLiteral("Connect"), tables.ConnectText);
    tables.DisconnectText = texts.Text(strings, QStringLiteral("Disconnect"), tables.DisconnectText);
    tables.ReportNotClearText =
        texts.Text(strings, QStringLiteral("ReportNotClear"), tables.ReportNotClearText);
    tables.DownloadText = texts.Text(strings, QStringLiteral("Download"), tables.DownloadText);
    tables.UploadText = texts.Text(strings, QStringLiteral("Upload"), tables.UploadText);
}

} // namespace

QString LanguageFilePathFor(const QString& executablePath)
{
    const QFileInfo info(executablePath);
    const QString base = info.suffix().isEmpty()
                             ? info.filePath()
                             : info.path() + QLatin1Char('/') + info.completeBaseName();
    return base + QStringLiteral(".LNG");
}

QString DefaultLanguageFilePath()
{
    const QString name = QFileInfo(LanguageFilePathFor(QCoreApplication::applicationFilePath())).fileName();
    return AppPaths::FindReadOnlyFile(name);
}

void ApplyLanguageFile(const QString& path, const QList<QWidget*>& windows)
{
    // Read once: a large file looked up per text took many seconds to apply.
    const LanguageTexts texts = LanguageTexts::Load(path);
    for (QWidget* window : windows) {
        if (window != nullptr)
            ApplyToWindow(texts, *window);
    }
    ApplyToTextTables(texts);
}
