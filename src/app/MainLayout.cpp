// The main window's menus, toolbar and client area.
#include "app/Main.h"

#include "app/CommandGate.h"
#include "app/FindBar.h"
#include "editing/DocumentHistory.h"
#include "widgets/GridHeaders.h"
#include "widgets/TableGrid.h"
#include "model/Language.h"
#include "model/Texts.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The department panel's width when the window opens.
constexpr int DeptmentPanelWidth = 224;

// A freedesktop theme icon where the desktop has one, else the style's own.
QIcon ToolIcon(const char* themeName, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(themeName),
                            QApplication::style()->standardIcon(fallback));
}

// The desktop's key for a standard command, or the usual one where the
// platform names none.
QKeySequence StandardKey(QKeySequence::StandardKey key, QKeyCombination usual)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QKeySequence(usual) : keys.first();
}

QLabel* CreatePanelTitle(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setContentsMargins(4, 3, 4, 3);
    label->setFrameShape(QFrame::StyledPanel);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Button);
    return label;
}

QWidget* CreatePanel(QLabel* title, TableGrid* grid, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    title->setParent(panel);
    grid->setParent(panel);
    layout->addWidget(title);
    layout->addWidget(grid, 1);
    return panel;
}

} // namespace

QAction* TMainForm::AddAction(const char* name, const QString& text,
                              void (TMainForm::*handler)())
{
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    if (handler != nullptr)
        connect(action, &QAction::triggered, this, handler);
    return m_gate->Add(action);
}

QAction* TMainForm::AddSeparator(const char* name)
{
    auto* separator = new QAction(this);
    separator->setObjectName(QString::fromLatin1(name));
    separator->setSeparator(true);
    return separator;
}

QAction* TMainForm::AddButton(const char* name, const QString& hint, const QIcon& icon,
                              void (TMainForm::*handler)())
{
    QAction* button = AddAction(name, hint, handler);
    button->setIcon(icon);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    return button;
}

void TMainForm::CreateMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu98"));
    bar->setWindowTitle(QStringLiteral("Menu Bar"));
    setMenuBar(bar);

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    QAction* newItem = AddAction("NewItem", QStringLiteral("&New"), &TMainForm::NewItemClick);
    newItem->setShortcut(StandardKey(QKeySequence::New, Qt::CTRL | Qt::Key_N));
    file->addAction(newItem);
    file->addAction(AddSeparator("N3"));
    QAction* open = AddAction("OpenItem", QStringLiteral("&Open..."), &TMainForm::OpenItemClick);
    open->setShortcuts({QKeySequence(Qt::Key_F3), StandardKey(QKeySequence::Open, Qt::CTRL | Qt::Key_O)});
    file->addAction(open);
    QAction* save = AddAction("SaveItem", QStringLiteral("&Save"), &TMainForm::SaveItemClick);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addAction(save);
    file->addAction(
        AddAction("SaveasItem", QStringLiteral("Save &as..."), &TMainForm::SaveasItemClick));
    file->addAction(AddSeparator("N16"));
    file->addAction(AddAction("ImportItem", QStringLiteral("&Import..."), &TMainForm::ImportItemClick));
    file->addAction(AddAction("ExportItem", QStringLiteral("&Export..."), &TMainForm::ExportItemClick));
    file->addAction(AddSeparator("N5"));
    QAction* recycling =
        AddAction("RecyItem", QStringLiteral("Recycling..."), &TMainForm::RecyItemClick);
    recycling->setVisible(false);
    file->addAction(recycling);
    file->addAction(AddAction("ParameterItem", QStringLiteral("Parameter..."),
                              &TMainForm::ParameterItemClick));
    file->addAction(AddSeparator("N15"));
    QAction* print = AddAction("PrintItem", QStringLiteral("Print..."), &TMainForm::PrintItemClick);
    print->setShortcut(StandardKey(QKeySequence::Print, Qt::CTRL | Qt::Key_P));
    file->addAction(print);
    file->addAction(AddAction("PrintPreviewItem", QStringLiteral("Print pre&view..."),
                              &TMainForm::PrintPreviewItemClick));
    QAction* labels = AddAction("PrintLabelsItem", QStringLiteral("Print &labels..."), &TMainForm::PrintLabelsItemClick);
    labels->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    file->addAction(labels);
    file->addAction(AddAction("FontItem", QStringLiteral("Font..."), &TMainForm::FontItemClick));
    file->addAction(AddSeparator("N10"));
    m_recentMenu = file->addMenu(QStringLiteral("&Recent files"));
    m_recentMenu->setObjectName(QStringLiteral("RecentMenu"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("RecentItem"));
    m_recentMenu->setEnabled(false);
    file->addAction(AddSeparator("N11"));
    QAction* exit = AddAction("ExitItem", QStringLiteral("E&xit"), &TMainForm::ExitItemClick);
    exit->setShortcut(StandardKey(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q));
    file->addAction(exit);

    CreateEditMenu(bar);

    QMenu* comm = bar->addMenu(QStringLiteral("&Communication"));
    comm->setObjectName(QStringLiteral("CommMenu"));
    comm->addAction(
        AddAction("CommsetItem", QStringLiteral("&Setting..."), &TMainForm::CommsetItemClick));
    comm->addAction(AddAction("DetectportItem", QStringLiteral("&Detect port..."),
                              &TMainForm::DetectportItemClick));
    comm->addAction(AddAction("ConnectionCheckItem", QStringLiteral("Connection chec&k..."),
                              &TMainForm::ConnectionCheckItemClick));
    comm->addAction(AddSeparator("N4"));
    comm->addAction(AddAction("TestItem", QStringLiteral("Test"), &TMainForm::TestItemClick));
    QAction* download = AddAction("DownloadItem", QStringLiteral("Download data..."),
                                  &TMainForm::DownloadItemClick);
    download->setShortcut(Qt::Key_F9);
    comm->addAction(download);
    QAction* upload =
        AddAction("UploadItem", QStringLiteral("Upload data..."), &TMainForm::UploadItemClick);
    upload->setShortcut(Qt::Key_F6);
    comm->addAction(upload);
    comm->addAction(AddSeparator("N20"));
    comm->addAction(AddAction("CompareItem", QStringLiteral("Co&mpare with register..."),
                              &TMainForm::CompareItemClick));
    comm->addAction(AddAction("DownloadChangesItem", QStringLiteral("Download chan&ges..."),
                              &TMainForm::DownloadChangesItemClick));
    comm->addAction(AddAction("HistoryItem", QStringLiteral("&History..."), &TMainForm::HistoryItemClick));
    comm->addAction(AddSeparator("N21"));
    comm->addAction(AddAction("RegistersItem", QStringLiteral("&Registers..."), &TMainForm::RegistersItemClick));
    comm->addAction(AddAction("SendRegistersItem", QStringLiteral("Se&nd to registers..."),
                              &TMainForm::SendRegistersItemClick));
    comm->addAction(AddAction("CompareRegistersItem", QStringLiteral("Compare &with registers..."),
                              &TMainForm::CompareRegistersItemClick));
    QAction* font = AddAction("DownloadFontItem", QStringLiteral("Download font..."),
                              &TMainForm::DownloadFontItemClick);
    font->setVisible(false);
    comm->addAction(font);

    QMenu* reports = bar->addMenu(QStringLiteral("&Reports"));
    reports->setObjectName(QStringLiteral("ReportsMenu"));
    reports->addAction(AddAction("SalesItem", QStringLiteral("&Sales..."), &TMainForm::SalesItemClick));

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    help->addAction(AddAction("ContentItem", QStringLiteral("&Contents"), &TMainForm::ContentItemClick));
    help->addAction(AddSeparator("N2"));
    help->addAction(AddAction("LanguageItem", QStringLiteral("&Language..."), &TMainForm::LanguageItemClick));
    help->addAction(AddAction("AboutItem", QStringLiteral("&About..."), &TMainForm::AboutItemClick));
}

void TMainForm::CreateToolbar()
{
    auto* toolbar = new QToolBar(QStringLiteral("Main"), this);
    toolbar->setObjectName(QStringLiteral("MainToolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, toolbar);

    const auto add = [&](const char* name, const QString& hint, const QIcon& icon,
                         void (TMainForm::*handler)()) {
        QAction* button = AddButton(name, hint, icon, handler);
        toolbar->addAction(button);
        toolbar->widgetForAction(button)->setObjectName(QString::fromLatin1(name));
        return button;
    };
    add("NewBtn", QStringLiteral("New"), ToolIcon("document-new", QStyle::SP_FileIcon),
        &TMainForm::NewItemClick);
    add("OpenBtn", QStringLiteral("Open"), ToolIcon("document-open", QStyle::SP_DialogOpenButton),
        &TMainForm::OpenItemClick);
    add("SaveBtn", QStringLiteral("Save"), ToolIcon("document-save", QStyle::SP_DialogSaveButton),
        &TMainForm::SaveItemClick);
    toolbar->addSeparator();
    add("PreferencesBtn", QStringLiteral("Preferences"),
        ToolIcon("preferences-system", QStyle::SP_FileDialogDetailedView),
        &TMainForm::ParameterItemClick);
    add("CommBtn", QStringLiteral("Communication setting"),
        ToolIcon("network-wired", QStyle::SP_DriveNetIcon), &TMainForm::CommsetItemClick);
    toolbar->addSeparator();
    add("TestBtn", QStringLiteral("Test"),
        ToolIcon("network-transmit-receive", QStyle::SP_BrowserReload), &TMainForm::TestItemClick);
    add("DownLoadBtn", QStringLiteral("Download data"), ToolIcon("go-down", QStyle::SP_ArrowDown),
        &TMainForm::DownloadItemClick);
    add("UploadBtn", QStringLiteral("Upload data"), ToolIcon("go-up", QStyle::SP_ArrowUp),
        &TMainForm::UploadItemClick);
    QAction* report = add("ReportBtn", QStringLiteral("Upload report"),
                          ToolIcon("x-office-document", QStyle::SP_FileDialogInfoView), nullptr);
    report->setVisible(false);
    toolbar->addSeparator();
    add("ExitBtn", QStringLiteral("Exit"),
        ToolIcon("application-exit", QStyle::SP_DialogCloseButton), &TMainForm::ExitItemClick);
}

void TMainForm::CreateHiddenKeys()
{
    // With Shift too: on Linux desktops Ctrl+Alt+Fn switches to a console.
    const auto add = [this](const char* name, Qt::Key key, void (TMainForm::*handler)()) {
        QAction* action = AddAction(name, QString(), handler);
        action->setShortcuts({QKeySequence(Qt::CTRL | Qt::ALT | key),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::ALT | key)});
        addAction(action);
    };
    add("TestDataKey", Qt::Key_F3, &TMainForm::FillTestDataClick);
    add("ParametersKey", Qt::Key_F4, &TMainForm::EditAndDownloadParameters);
    add("DumpKey", Qt::Key_F6, &TMainForm::DumpMemory);
    add("ProgramKey", Qt::Key_F8, &TMainForm::DownloadProgram);
}

TableGrid* TMainForm::CreateGrid(const char* name, TextTable& table)
{
    auto* grid = new TableGrid(this);
    grid->setObjectName(QString::fromLatin1(name));
    grid->SetTextTable(&table);
    connect(grid, &TableGrid::textTyped, this, &TMainForm::ShowModified);
    // While a cell is refused the status bar says why; accepted, it clears.
    connect(grid, &TableGrid::cellRefused, this, [this](const QString& reason) {
        if (reason.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(reason);
    });
    connect(grid, &TableGrid::historyRequested, this,
            [this](bool redo) { redo ? RedoItemClick() : UndoItemClick(); });
    grid->SetEditRecorder([this](const QString& text, const std::function<void()>& change) {
        m_history->Record(text, change);
        FollowHistory();
    });
    const TableKind kind = table.Kind();
    DecorateGridHeaders(*grid, [kind] {
        return kind == TableKind::PLU ? Texts().PLUTitles[0] : Texts().DeptmentTitles[0];
    });
    grid->setWordWrap(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->verticalHeader()->setMinimumSectionSize(8);
    return grid;
}

void TMainForm::CreateClientArea()
{
    m_pluGrid = CreateGrid("PLUGrid", *m_pluTable);
    m_deptGrid = CreateGrid("DeptmentGrid", *m_deptTable);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(
        CreatePanel(CreatePanelTitle("PLULBL", QStringLiteral("PLU"), this), m_pluGrid, m_splitter));
    m_splitter->addWidget(CreatePanel(
        CreatePanelTitle("DeptLBL", QStringLiteral("Department"), this), m_deptGrid, m_splitter));
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setSizes({4 * DeptmentPanelWidth, DeptmentPanelWidth});

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_findBar = new FindBar(*m_pluGrid, *m_pluTable, *m_deptGrid, *m_deptTable, client);
    layout->addWidget(m_findBar);
    m_splitter->setParent(client);
    layout->addWidget(m_splitter, 1);
    setCentralWidget(client);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    CreateStatusWidgets();
}

void TMainForm::ShowLanguageTexts()
{
    m_findBar->ShowTexts();
    UpdatePluCount();
    UpdatePortStatus();
}
