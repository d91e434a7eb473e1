// Every text a window shows comes from the language file, and longer
// languages fit. The test makes a pseudo-translation of the built-in key list
// (every text wrapped in ⟦…⟧ and longer by 40 %), opens every window and every
// dialog a command opens, and lists each visible text that lacks the markers
// (it has no key, or is set from a built-in text that bypasses the table) and
// each label or button narrower than its text.
#include "app/CompareResultDlg.h"
#include "app/ImportConfirmDlg.h"
#include "app/LanguageFile.h"
#include "app/Main.h"
#include "app/TextViewer.h"
#include "model/TextTable.h"
#include "model/Language.h"

#include "AppTestSupport.h"
#include "WindowWalk.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace {

const QString kOpen = QStringLiteral("⟦");
const QString kClose = QStringLiteral("⟧");

// The pseudo-translation of one text: marked and 40 % longer, its
// placeholders and mnemonic kept.
QString Pseudo(const QString& english)
{
    const auto extra = qsizetype(std::ceil(english.size() * 0.4));
    return kOpen + english + QString(extra, u'~') + kClose;
}

// The key list with every text replaced by its pseudo-translation; the
// [Language] section (the locale code) is left out.
QByteArray PseudoLanguageFile(const QString& catalogue)
{
    QStringList lines;
    bool languageSection = false;
    for (const QString& line : catalogue.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            languageSection = trimmed.compare(QStringLiteral("[Language]"), Qt::CaseInsensitive) == 0;
            lines << trimmed;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (trimmed.startsWith(u';') || equals < 0 || languageSection)
            continue;
        lines << line.left(equals + 1) + Pseudo(line.mid(equals + 1));
    }
    return lines.join(u'\n').toUtf8();
}

bool IsTranslated(const QString& text)
{
    return text.contains(kOpen);
}

// Texts without a letter (numbers, times, dashes) are not language.
bool IsLanguage(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isLetter(); });
}

bool IsData(const QWidget& widget, const QWidget& window)
{
    for (const QWidget* w = &widget; w != nullptr && w != &window; w = w->parentWidget())
        if (w->property("languageData").toBool())
            return true;
    return false;
}

// Qt's own parts (scroll bars, the buttons of a dialog button box with a
// standard role) take their texts from Qt's translations.
bool IsQtsOwn(const QWidget& widget)
{
    if (widget.objectName().startsWith(QStringLiteral("qt_")))
        return true;
    const auto* button = qobject_cast<const QAbstractButton*>(&widget);
    const auto* box = qobject_cast<const QDialogButtonBox*>(widget.parentWidget());
    return button != nullptr && box != nullptr
           && box->standardButton(const_cast<QAbstractButton*>(button)) != QDialogButtonBox::NoButton;
}

class TextCheck
{
public:
    void Window(QWidget& window)
    {
        m_where = QString::fromLatin1(window.metaObject()->className()) + u' ' + window.objectName();
        // The main window's title is the program's name and file; a window
        // marked as showing data has data for a title (a file's name).
        if (window.objectName() != u"MainForm" && !window.property("languageData").toBool())
            Text(QStringLiteral("window title"), window.windowTitle());
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (widget->isVisibleTo(&window) && !IsData(*widget, window) && !IsQtsOwn(*widget))
                Widget(*widget);
        }
        if (auto* form = qobject_cast<QMainWindow*>(&window); form != nullptr && form->menuBar() != nullptr)
            Menu(QStringLiteral("menu bar"), form->menuBar()->actions());
    }

    // Qt's own dialogs: the title and question the program gives an input
    // dialog (Qt's translations word the rest).
    void QtsWindow(QWidget& window)
    {
        m_where = QString::fromLatin1(window.metaObject()->className());
        if (auto* input = qobject_cast<QInputDialog*>(&window)) {
            Text(QStringLiteral("window title"), input->windowTitle());
            Text(QStringLiteral("label"), input->labelText());
        }
    }

    void Message(const QString& kind, const QString& text)
    {
        m_where = kind;
        Text(QStringLiteral("text"), text);
    }

    QStringList untranslated;
    QStringList cut;

private:
    void Widget(QWidget& widget)
    {
        // A tool bar's button shows its action, checked with the tool bar.
        if (const auto* tool = qobject_cast<const QToolButton*>(&widget); tool && tool->defaultAction())
            return;
        const QString name = widget.objectName().isEmpty()
                                 ? QString::fromLatin1(widget.metaObject()->className())
                                 : widget.objectName();
        Text(name + QStringLiteral(" tool tip"), widget.toolTip());
        if (auto* label = qobject_cast<QLabel*>(&widget)) {
            if (label->textFormat() != Qt::RichText && !Qt::mightBeRichText(label->text()))
                Text(name, label->text());
            // The status bar shares its width among its fields and
            // shortens them itself.
            if (qobject_cast<const QStatusBar*>(widget.parentWidget()) == nullptr)
                Fits(name, widget, label->wordWrap());
        } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
            Text(name, button->text());
            Fits(name, widget, false);
        } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
            Text(name, group->title());
        } else if (auto* tabs = qobject_cast<QTabBar*>(&widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                Text(name + QStringLiteral(" tab"), tabs->tabText(i));
        } else if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
            Text(name + QStringLiteral(" placeholder"), edit->placeholderText());
        } else if (auto* view = qobject_cast<QAbstractItemView*>(&widget)) {
            Headers(name, *view);
        } else if (auto* bar = qobject_cast<QToolBar*>(&widget)) {
            Menu(name, bar->actions());
        } else if (auto* status = qobject_cast<QStatusBar*>(&widget)) {
            Text(name + QStringLiteral(" message"), status->currentMessage());
        }
    }

    void Headers(const QString& name, const QAbstractItemView& view)
    {
        const auto* header = view.findChild<QHeaderView*>();
        if (view.model() == nullptr || header == nullptr || header->orientation() != Qt::Horizontal
            || header->isHidden())
            return;
        for (int section = 0; section < view.model()->columnCount(); ++section)
            if (!header->isSectionHidden(section))
                Text(name + QStringLiteral(" column %1").arg(section),
                     view.model()->headerData(section, Qt::Horizontal).toString());
    }

    void Menu(const QString& name, const QList<QAction*>& actions)
    {
        for (QAction* action : actions) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QString item = name + u' ' + action->objectName();
            Text(item, action->text());
            Text(item + QStringLiteral(" hint"), action->statusTip());
            if (action->menu() != nullptr)
                Menu(action->text(), action->menu()->actions());
        }
    }

    void Text(const QString& what, const QString& text)
    {
        if (IsLanguage(text) && !IsTranslated(text)) {
            const QString line = m_where + QStringLiteral(": ") + what + QStringLiteral(" \"") + text + u'"';
            if (!untranslated.contains(line))
                untranslated << line;
        }
    }

    // A label or button shows its whole text: it is at least as wide as its
    // text needs (a wrapped label at least as high).
    void Fits(const QString& name, const QWidget& widget, bool wraps)
    {
        const QSize needed = widget.sizeHint();
        const bool fits = wraps ? widget.height() >= widget.heightForWidth(widget.width())
                                : widget.width() >= needed.width();
        if (!fits) {
            const QString line = QStringLiteral("%1: %2 is %3×%4, its text needs %5×%6")
                                     .arg(m_where, name)
                                     .arg(widget.width())
                                     .arg(widget.height())
                                     .arg(needed.width())
                                     .arg(wraps ? widget.heightForWidth(widget.width()) : needed.height());
            if (!cut.contains(line))
                cut << line;
        }
    }

    QString m_where;
};

class PseudoTranslationTest : public WindowWalk::Fixture
{
protected:
    void SetUp() override
    {
        WindowWalk::Fixture::SetUp();
        WriteFile(QStringLiteral("pseudo.LNG"), PseudoLanguageFile(LanguageCatalogue()));
        // Listed registers, so the commands for several registers open their window.
        WriteFile(QStringLiteral("SYSTEM.CFG"), "[Registers]\r\nCount=2\r\nName1=Till 1\r\nPort1=COM3\r\n"
                                                "BaudRate1=4\r\nName2=Till 2\r\nPort2=COM4\r\nBaudRate2=4\r\n");
        ShowForm(FilePath(QStringLiteral("pseudo.LNG")));
    }

    void CheckMessages()
    {
        for (const QStringList* texts : {&messages.errors, &messages.informations, &messages.questions,
                                         &messages.offers, &messages.offeredCommands})
            for (const QString& text : *texts)
                check.Message(QStringLiteral("message box"), text);
    }

    TextCheck check;
};

TEST_F(PseudoTranslationTest, TheKeyListIsWholeAndItsPlaceholdersAgree)
{
    const QString catalogue = LanguageCatalogue();
    ASSERT_FALSE(catalogue.isEmpty());
    // The pseudo-translation keeps every placeholder, so nothing is refused.
    EXPECT_EQ(Language::Problems().join(u'\n').toStdString(), "");
}

TEST_F(PseudoTranslationTest, TheMainWindowAndItsOwnWindowsAreTranslatedAndNothingIsCut)
{
    check.Window(*m_form);
    WindowWalk::RegisteredWindows(*m_form, [&](QWidget& window) { check.Window(window); });
    EXPECT_EQ(check.untranslated.join(u'\n').toStdString(), "");
    EXPECT_EQ(check.cut.join(u'\n').toStdString(), "");
}

TEST_F(PseudoTranslationTest, EveryWindowACommandOpensIsTranslatedAndNothingIsCut)
{
    QStringList opened;
    WindowWalk::CommandWindows(
        *m_form,
        [&](QWidget& window) {
            opened << window.objectName();
            check.Window(window);
        },
        [&](QAction&) {
            // The main window after each command: its notices and the bars a
            // command shows (find bar, status texts).
            check.Window(*m_form);
        },
        [&](QWidget& window) { check.QtsWindow(window); });
    CheckMessages();
    EXPECT_EQ(check.untranslated.join(u'\n').toStdString(), "");
    EXPECT_EQ(check.cut.join(u'\n').toStdString(), "");
    for (const char* name : {"SendRegistersDlg", "CompareRegistersDlg", "RegistersDlg", "LanguageDlg",
                             "SalesReportDlg", "HistoryDlg", "LabelsDlg", "PriceChangeDlg"})
        EXPECT_TRUE(opened.contains(QLatin1String(name))) << name << " not opened; opened: "
                                                          << opened.join(u',').toStdString();
}

// Windows that only a particular outcome opens: the result of a compare, the
// question before an import, the viewer of a dump listing.
TEST_F(PseudoTranslationTest, WindowsAnOutcomeOpensAreTranslatedAndNothingIsCut)
{
    const Differences differences{{TransferTable::PLU, 7, QStringLiteral("Name"), QStringLiteral("Milk"),
                                   QStringLiteral("Milk 1 l")}};
    TCompareResultDlg compare(QStringLiteral("⟦Compare⟧"), differences, 1, {}, QStringLiteral("⟦&Open⟧"),
                              m_form.get());

    TextTable plu(TableKind::PLU);
    ImportPlan plan;
    plan.changes = {{2, 1, QStringLiteral("Bread")}, {3, 1, QStringLiteral("1.20")}};
    plan.changedRows = 1;
    plan.sheetRows = 1;
    TImportConfirmDlg import(FilePath(QStringLiteral("shop.csv")), plu, plan, m_form.get());

    WriteFile(QStringLiteral("TEMP.BIN"), "00000000  01 02 03\n");
    TTextViewer viewer(FilePath(QStringLiteral("TEMP.BIN")), [](const QUrl&) { return false; }, m_form.get());

    for (QDialog* window : std::initializer_list<QDialog*>{&compare, &import, &viewer}) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        check.Window(*window);
        window->hide();
    }
    EXPECT_EQ(check.untranslated.join(u'\n').toStdString(), "");
    EXPECT_EQ(check.cut.join(u'\n').toStdString(), "");
}

} // namespace
