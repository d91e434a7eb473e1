#include "app/LanguageFile.h"

#include "model/Language.h"
#include "model/Texts.h"
#include "config/AppPaths.h"
#include "config/LanguageTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>
#include <memory>

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

void ApplyToWidget(const QString& section, QWidget& widget)
{
    const QString name = widget.objectName();
    if (const char* property = TextPropertyOf(widget)) {
        const QString text = widget.property(property).toString();
        if (!text.isEmpty())
            widget.setProperty(property, Language::Text(section, name + QStringLiteral(".Caption"), text));
    }
    if (!widget.toolTip().isEmpty())
        widget.setToolTip(Language::Text(section, name + QStringLiteral(".Hint"), widget.toolTip()));
}

// Qt makes up a tool tip from an action's text when none is set, so an
// action's hint is its status tip, which the main window sets together with the
// tool tip.
void ApplyToAction(const QString& section, QAction& action)
{
    const QString name = action.objectName();
    if (!action.text().isEmpty())
        action.setText(Language::Text(section, name + QStringLiteral(".Caption"), action.text()));
    if (!action.statusTip().isEmpty()) {
        const QString hint = Language::Text(section, name + QStringLiteral(".Hint"), action.statusTip());
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
void ApplyToComponents(const QString& section, QObject& parent)
{
    for (QObject* child : parent.children()) {
        if (IsOwnWindow(*child))
            continue;
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_"))) {
            if (auto* widget = qobject_cast<QWidget*>(child))
                ApplyToWidget(section, *widget);
            else if (auto* action = qobject_cast<QAction*>(child))
                ApplyToAction(section, *action);
        }
        ApplyToComponents(section, *child);
    }
}

void ApplyToWindow(QWidget& window)
{
    const QString section = window.objectName();
    if (section.isEmpty())
        return;
    if (!window.windowTitle().isEmpty())
        window.setWindowTitle(Language::Text(section, QStringLiteral("Caption"), window.windowTitle()));
    ApplyToComponents(section, window);
}

template <std::size_t N>
void ApplyToList(const QString& section, std::array<QString, N>& entries)
{
    for (std::size_t i = 0; i < N; ++i)
        entries[i] = Language::Text(section, QString::number(i), entries[i]);
}

// The column titles and transfer messages, from the installed language.
void ApplyToTextTables()
{
    auto& tables = Texts();
    ApplyToList(QStringLiteral("PLU Titles"), tables.PLUTitles);
    ApplyToList(QStringLiteral("Deptment Titles"), tables.DeptmentTitles);
    ApplyToList(QStringLiteral("Recy Titles"), tables.RecyTitles);
    ApplyToList(QStringLiteral("DownloadItem Tips"), tables.DownloadItemTips);
    ApplyToList(QStringLiteral("UploadItem Tips"), tables.UploadItemTips);

    const QString strings = QStringLiteral("String");
    tables.ConnectText = Language::Text(strings, QStringLiteral("Connect"), tables.ConnectText);
    tables.DisconnectText = Language::Text(strings, QStringLiteral("Disconnect"), tables.DisconnectText);
    tables.ReportNotClearText =
        Language::Text(strings, QStringLiteral("ReportNotClear"), tables.ReportNotClearText);
    tables.DownloadText = Language::Text(strings, QStringLiteral("Download"), tables.DownloadText);
    tables.UploadText = Language::Text(strings, QStringLiteral("Upload"), tables.UploadText);
}

// Qt's own texts (the buttons of message boxes, the file and print dialogs)
// in the file's language, and its way of writing numbers. An empty or unknown
// code keeps English and the default locale.
void ApplyLocale(const QString& code)
{
    static std::unique_ptr<QTranslator> qtTexts;
    if (qtTexts) {
        QCoreApplication::removeTranslator(qtTexts.get());
        qtTexts.reset();
    }
    static const QLocale startLocale;
    const QLocale locale(code);
    if (code.isEmpty() || locale.language() == QLocale::C) {
        QLocale::setDefault(startLocale);
        return;
    }
    QLocale::setDefault(locale);
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        qtTexts = std::move(translator);
    }
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

QString LanguageCatalogue()
{
    QFile file(QStringLiteral(":/language/plu-manager.LNG.example"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void LoadLanguage(const QString& path)
{
    LanguageTexts texts = LanguageTexts::Load(path);
    const LanguageTexts catalogue = LanguageTexts::FromBytes(LanguageCatalogue().toUtf8());
    const QStringList problems = texts.RefusePlaceholderMismatches(catalogue);
    for (const QString& problem : problems)
        std::fprintf(stderr, "plu-manager: %s\n", qUtf8Printable(problem));
    texts.Install(problems);
    // Loading again starts from the built-in texts, so a key the new file
    // lacks does not keep the last file's text.
    ResetTexts();
    ApplyToTextTables();
    ApplyLocale(texts.Text(QStringLiteral("Language"), QStringLiteral("Locale"), QString()).trimmed());
}

void TranslateWindow(QWidget& window)
{
    ApplyToWindow(window);
}

void ApplyLanguageFile(const QString& path, const QList<QWidget*>& windows)
{
    // Read once: a large file looked up per text took many seconds to apply.
    LoadLanguage(path);
    for (QWidget* window : windows) {
        if (window != nullptr)
            ApplyToWindow(*window);
    }
}
