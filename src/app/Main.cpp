#include "app/Main.h"

#include "app/About.h"
#include "app/CommandGate.h"
#include "editing/DocumentHistory.h"
#include "app/LanguageFile.h"
#include "app/Printing.h"
#include "widgets/TableGrid.h"
#include "app/UserGuide.h"
#include "app/WaitCursor.h"
#include "app/WidgetFileDialogs.h"
#include "app/WidgetMessageBox.h"
#include "files/FileError.h"
#include "link/RegisterLink.h"
#include "model/Language.h"
#include "model/TestData.h"
#include "model/Texts.h"
#include "config/AppPaths.h"
#include "dialogs/Recy.h"
#include "config/SettingsFile.h"
#include "dialogs/ProgressForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSessionManager>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

namespace {

constexpr int kMainRetryInterval = 1000;
constexpr int kMainRetryCount = 10;

QString ColumnTitle(const TextTable& table, int column)
{
    if (table.Kind() == TableKind::PLU)
        return Texts().PLUTitles.at(std::size_t(column));
    return Texts().DeptmentTitles.at(std::size_t(column));
}

} // namespace

TMainForm::TMainForm(IMessageBox* messages, IFileDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent),
      m_ownMessages(messages ? nullptr : std::make_unique<WidgetMessageBox>(this)),
      m_ownDialogs(dialogs ? nullptr : std::make_unique<WidgetFileDialogs>(this)),
      m_messages(messages ? messages : m_ownMessages.get()),
      m_dialogs(dialogs ? dialogs : m_ownDialogs.get()),
      m_pluTable(new TextTable(TableKind::PLU, this)),
      m_deptTable(new TextTable(TableKind::Department, this)),
      m_document(new EditedDocument(*m_pluTable, *m_deptTable, m_recyTable, this)),
      m_languageFilePath(DefaultLanguageFilePath())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(TAboutBox::ProgramIcon());
    m_history = &m_document->History();
    connect(m_history, &DocumentHistory::stepApplied, this, &TMainForm::ShowStepFocus);
    connect(&m_history->Stack(), &QUndoStack::cleanChanged, this, &TMainForm::ShowModified);
    m_gate = new CommandGate(*this);
    CreateMenus();
    CreateToolbar();
    CreateHiddenKeys();
    CreateClientArea();
    m_windows << this;
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMainForm::CommitDataRequest);
    FormCreate();
}

TMainForm::~TMainForm() = default;

QString TMainForm::ProgramTitle()
{
    return Document::Title();
}

void TMainForm::FormCreate()
{
    setWindowTitle(ProgramTitle());
    m_document->ClearDocument();
    const SettingsFile settings(AppPaths::SettingsPath());
    m_portNumber = settings.ReadInteger(QStringLiteral("Comm"), QStringLiteral("Port"), 2);
    m_speedIndex = settings.ReadInteger(QStringLiteral("Comm"), QStringLiteral("BaudRate"), 0);
    UpdatePortStatus();
    // The window's link waits longer and retries more than the detection
    // dialog's, which keeps the defaults.
    auto link = MakeRegisterLink();
    link->SetRetryInterval(kMainRetryInterval);
    link->SetRetryCount(kMainRetryCount);
    SetLink(std::move(link));
}

void TMainForm::SetLink(std::unique_ptr<TQelmIBusComm> link)
{
    m_link = std::move(link);
    m_link->setObjectName(QStringLiteral("QelmIBusComm1"));
    m_link->SetTraceEnabled(true);
    m_link->SetMessageBox(m_messages);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    ApplyLanguageFile(m_languageFilePath, m_windows);
    ShowLanguageTexts();
    m_pluTable->RefreshTitles();
    m_deptTable->RefreshTitles();
    FitColumns();
    RestoreWorkspace();
}

void TMainForm::RegisterWindow(QWidget* window)
{
    if (window != nullptr && !m_windows.contains(window))
        m_windows << window;
}

void TMainForm::SetAboutBox(TAboutBox* aboutBox)
{
    m_aboutBox = aboutBox;
    RegisterWindow(aboutBox);
}

void TMainForm::SetRecyForm(TRecyForm* recyForm)
{
    m_recyForm = recyForm;
    RegisterWindow(recyForm);
}

// ---- Document commands

void TMainForm::UpdateCaption()
{
    // "[*]" becomes the desktop's mark of unsaved changes.
    setWindowTitle(QStringLiteral("[*]") + m_document->Caption());
    ShowModified();
}

bool TMainForm::CommitActiveGrid()
{
    QWidget* active = focusWidget();
    for (TableGrid* grid : {m_pluGrid, m_deptGrid}) {
        if (active != nullptr && (active == grid || grid->isAncestorOf(active)))
            return grid->CommitCurrentCell();
    }
    return true;
}

bool TMainForm::QuerySaveChanges()
{
    if (!m_document->Modified())
        return true;
    switch (m_messages->AskYesNoCancel(
        Tr("MainForm", "SaveChangesQuestion", "File has not been saved,save it now?"))) {
    case IMessageBox::SaveAnswer::Cancel:
        return false;
    case IMessageBox::SaveAnswer::No:
        return true;
    case IMessageBox::SaveAnswer::Yes:
        break;
    }
    // The changes are dropped only when they were really saved: a refused cell,
    // a cancelled save dialog or a write error keeps the document open.
    return CommitActiveGrid() && SaveDocumentCommand();
}

void TMainForm::NewItemClick()
{
    if (!QuerySaveChanges())
        return;
    {
        const WaitCursor wait;
        m_document->ClearDocument();
    }
    UpdateCaption();
}

void TMainForm::OpenItemClick()
{
    if (!QuerySaveChanges())
        return;
    const QString path = m_dialogs->OpenTableFileName();
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void TMainForm::SaveItemClick()
{
    if (CommitActiveGrid())
        SaveDocumentCommand();
}

void TMainForm::SaveasItemClick()
{
    if (CommitActiveGrid())
        SaveDocumentAs();
}

bool TMainForm::SaveDocumentCommand()
{
    if (m_document->CurrentFileName().isEmpty())
        return SaveDocumentAs();
    return SaveDocumentTo(m_document->CurrentFileName());
}

bool TMainForm::SaveDocumentAs()
{
    const QString path = m_dialogs->SaveTableFileName();
    if (path.isEmpty())
        return false;
    const bool saved = RunFileCommand([&] { m_document->SaveDocumentAs(path); });
    if (saved)
        AddRecentFile(m_document->CurrentFileName());
    UpdateCaption();
    return saved;
}

bool TMainForm::SaveDocumentTo(const QString& path)
{
    const bool saved = RunFileCommand([&] { m_document->SaveDocument(path); });
    if (saved)
        ShowModified();
    return saved;
}

bool TMainForm::RunFileCommand(const std::function<void()>& command)
{
    try {
        const WaitCursor wait;
        command();
        return true;
    } catch (const FileError& error) {
        m_messages->Error(error.Message());
        return false;
    }
}

// ---- Closing

void TMainForm::ExitItemClick()
{
    close();
}

void TMainForm::RunExclusive(const std::function<void()>& command)
{
    // After Cancel the progress window goes at once, but the command still
    // logs out: the gate stays closed until it has returned.
    m_gate->Run(command);
    if (m_closePending && !IsCommandRunning()) {
        m_closePending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

bool TMainForm::IsCommandRunning() const
{
    return m_gate->IsRunning();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The save question must not come up inside a transfer's wait.
    if (IsCommandRunning()) {
        m_closePending = true;
        statusBar()->showMessage(
            Tr("MainForm", "ClosePending", "The program closes when the running command has ended."));
        event->ignore();
        return;
    }
    if (m_discardConfirmed || QuerySaveChanges()) {
        SaveWorkspace();
        event->accept();
    } else
        event->ignore();
}

void TMainForm::CommitDataRequest(QSessionManager& manager)
{
    // The desktop session is ending: the same question as on closing, and
    // Cancel asks the session to stay.
    if (IsCommandRunning() && manager.allowsInteraction()) {
        manager.cancel();
        return;
    }
    if (!m_document->Modified() || !manager.allowsInteraction())
        return;
    const bool mayClose = QuerySaveChanges();
    manager.release();
    if (mayClose)
        m_discardConfirmed = true;
    else
        manager.cancel();
}

// ---- Grids

void TMainForm::FitColumns()
{
    FitGridColumns(*m_pluGrid, *m_pluTable);
    FitGridColumns(*m_deptGrid, *m_deptTable);
}

void TMainForm::FitGridColumns(TableGrid& grid, const TextTable& table)
{
    const QFontMetrics metrics(grid.font());
    grid.verticalHeader()->setDefaultSectionSize(metrics.height() + metrics.leading() + 4);

    for (int column = 0; column < table.ColCount(); ++column) {
        if (table.IsHiddenColumn(column))
            continue;
        const int byLength = (metrics.averageCharWidth() * table.MaxLength(column) * 3) / 2;
        const int byTitle = metrics.horizontalAdvance(ColumnTitle(table, column)) + 4;
        const int width = std::max(byLength, byTitle);
        if (column == 0)
            grid.verticalHeader()->setFixedWidth(width);
        else
            grid.setColumnWidth(column - 1, width);
    }
}

void TMainForm::ApplyGridFont(const QFont& font)
{
    m_pluGrid->setFont(font);
    m_deptGrid->setFont(font);
    emit GridFontChanged(font);
    FitColumns();
}

void TMainForm::FontItemClick()
{
    if (const auto font = m_dialogs->ChooseFont(m_pluGrid->font()))
        ApplyGridFont(*font);
}

// ---- Other commands

void TMainForm::PrintItemClick()
{
    QString error;
    {
        const WaitCursor wait;
        error = PrintPluListingOnDefaultPrinter(*m_pluTable);
    }
    if (!error.isEmpty())
        m_messages->Error(error);
}

void TMainForm::ContentItemClick()
{
    if (m_userGuide == nullptr)
        m_userGuide = new TUserGuide(this);
    // Read again each time: the guide is small, and a newer one may be installed.
    m_userGuide->Load(AppPaths::FindReadOnlyFile(TUserGuide::FileName()));
    m_userGuide->show();
    m_userGuide->raise();
    m_userGuide->activateWindow();
}

void TMainForm::AboutItemClick()
{
    if (m_aboutBox != nullptr)
        m_aboutBox->exec();
}
