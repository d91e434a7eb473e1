#pragma once

#include "app/SheetDialogs.h"
#include "app/TextViewer.h"
#include "editing/EditedDocument.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "transfer/MemoryDump.h"

#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class CommandGate;
class DocumentHistory;
struct EditFocus;
class FindBar;
class IFileDialogs;
struct ImportPlan;
class IMessageBox;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QSessionManager;
class QSplitter;
class TAboutBox;
class TableGrid;
class TCommDlg;
class TDataDlg;
class TConnectionCheckDlg;
class TDetectPortDlg;
class TDownloadDlg;
class TParaDlg;
class TProgressForm;
class TRecyForm;
class TQelmIBusComm;
class TransferHistory;
struct TableSnapshot;
struct TransferTables;
class TUploadDlg;
class TUserGuide;
struct TransferChoice;
struct TransferRequest;
struct TransferResult;
struct FailureCause;
enum class RegisterCommandKind;
struct RegisterCommandRequest;
struct RegisterCommandResult;

// The program's working window: the PLU and department grids side by side, the
// menu bar, the toolbar and the status bar. It owns the tables, the document
// and the current port settings, and hands each command to the code that
// carries it out.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    // Message boxes and file dialogs go through `messages` and `dialogs` when
    // given (tests), otherwise through real widgets over this window.
    explicit TMainForm(IMessageBox* messages = nullptr, IFileDialogs* dialogs = nullptr,
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    static QString ProgramTitle();

    // The tables and the document they make up.
    TextTable& PluTable() { return *m_pluTable; }
    TextTable& DeptmentTable() { return *m_deptTable; }
    RecyTable& RecyclingTable() { return m_recyTable; }
    EditedDocument& CurrentDocument() { return *m_document; }
    TableGrid& PLUGrid() { return *m_pluGrid; }
    TableGrid& DeptmentGrid() { return *m_deptGrid; }
    // The undo history of the three tables; every change of them is a step.
    DocumentHistory& History() { return *m_history; }
    FindBar& Finder() { return *m_findBar; }

    // Opens the document at path as Open does after its questions (the
    // command line, the recent-files list): a file that cannot be read is
    // reported and leaves an empty document.
    void OpenDocumentFile(const QString& path);
    // Shows the window with the geometry remembered from the last run
    // (maximised the first time).
    void ShowMainWindow();
    // Moves the cursor to PLU number (1..3000) through the grid's own
    // movement rules; false when the number is outside the table or the
    // current cell refused to be left. A PLU the filter hides is shown first:
    // the filter is switched off, and the status bar says so.
    bool GoToPlu(int number);
    // The grid the Edit commands work on: the one holding the focus, else
    // the PLU grid.
    TableGrid& ActiveGrid();

    // The serial port number (0 none, 1 to 4 for COM1 to COM4) and line-speed
    // index (0 to 4 for 9600 to 115200 bit/s) that every transfer uses.
    int PortNumber() const { return m_portNumber; }
    int SpeedIndex() const { return m_speedIndex; }
    void SetPortNumber(int port) { m_portNumber = port; }
    void SetSpeedIndex(int index) { m_speedIndex = index; }

    // The window's link to the register (QelmIBusComm1), traced to DEBUG.LOG.
    TQelmIBusComm& Link() { return *m_link; }
    // Puts another link in its place (tests: one on a scripted device); it is
    // traced and reports to this window's message boxes like the first.
    void SetLink(std::unique_ptr<TQelmIBusComm> link);

    // Where a memory dump's listing is shown (the text viewer by default;
    // tests record the path instead).
    void SetListingViewer(ListingViewer viewer) { m_listingViewer = std::move(viewer); }

    // The message boxes of this window, for the commands others supply.
    IMessageBox& Messages() { return *m_messages; }

    // Windows whose texts the language file replaces, in creation order; the
    // main window is the first. Each window's objectName names its section.
    void RegisterWindow(QWidget* window);
    const QList<QWidget*>& Windows() const { return m_windows; }
    void SetAboutBox(TAboutBox* aboutBox);
    void SetRecyForm(TRecyForm* recyForm);
    // Creates the other windows once, in the program's fixed order (settings,
    // progress, About, upload, download, port detection, memory range,
    // parameters, recycling), and registers each for the language file.
    void CreateWindows(const QString& companyName);

    // The windows made by CreateWindows (null before).
    TCommDlg* CommDlg() const { return m_commDlg; }
    TProgressForm* ProgressForm() const { return m_progressForm.get(); }
    TUploadDlg* UploadDlg() const { return m_uploadDlg; }
    TDownloadDlg* DownloadDlg() const { return m_downloadDlg; }
    TDetectPortDlg* DetectPortDlg() const { return m_detectPortDlg; }
    TConnectionCheckDlg* ConnectionCheckDlg() const { return m_connectionCheckDlg; }
    TDataDlg* DataDlg() const { return m_dataDlg; }
    TParaDlg* ParaDlg() const { return m_paraDlg; }

    // File > Import... and Export... ask through `dialogs` (tests); real
    // dialogs over this window otherwise.
    void SetSheetDialogs(ISheetDialogs* dialogs);

    // The language file applied when the window is first shown.
    void SetLanguageFilePath(const QString& path) { m_languageFilePath = path; }

    // Commits the cell being edited in whichever grid has the focus; false when
    // the cell holds an invalid value (the operator was told by a beep).
    bool CommitActiveGrid();
    // Asks whether to save unsaved changes; true when the command that asked
    // may go on.
    bool QuerySaveChanges();
    // Sizes rows and columns of both grids for their current font and titles.
    void FitColumns();
    // The font of both grids (and of the dialogs that show table texts).
    void ApplyGridFont(const QFont& font);

    // Runs a command that uses the link (or waits for the operator while
    // events are processed) behind the window's command gate: every other
    // command of this window is unavailable (menus, toolbar, shortcuts and
    // hidden keys) and the tables take no input. Closing the window meanwhile
    // is put off until the command has returned.
    void RunExclusive(const std::function<void()>& command);
    bool IsCommandRunning() const;

public slots:
    void NewItemClick();
    void OpenItemClick();
    void SaveItemClick();
    void SaveasItemClick();
    void ImportItemClick();
    void ExportItemClick();
    void RecyItemClick();
    void ParameterItemClick();
    void PrintItemClick();
    void FontItemClick();
    void ExitItemClick();
    void CommsetItemClick();
    void DetectportItemClick();
    void ConnectionCheckItemClick();
    void TestItemClick();
    void DownloadItemClick();
    void UploadItemClick();
    void DownloadFontItemClick();
    void AboutItemClick();
    // Help > Contents: the user guide in a window of its own.
    void ContentItemClick();
    // Help > Language...: the language of the next start (MainLanguage.cpp).
    void LanguageItemClick();
    // Compare with register, Download changes, History (MainCompare.cpp).
    void CompareItemClick();
    void DownloadChangesItemClick();
    void HistoryItemClick();
    // Reports > Sales... (MainReports.cpp).
    void SalesItemClick();
    void PrintPreviewItemClick();
    // File > Print labels... (MainLabels.cpp).
    void PrintLabelsItemClick();
    // Registers..., Send to registers..., Compare with registers...
    // (MainRegisters.cpp).
    void RegistersItemClick();
    void SendRegistersItemClick();
    void CompareRegistersItemClick();

    // Edit menu.
    void UndoItemClick();
    void RedoItemClick();
    void CutItemClick();
    void CopyItemClick();
    void PasteItemClick();
    void FindItemClick();
    void GotoItemClick();
    void PriceItemClick();

    // Service commands of the hidden keys.
    void FillTestDataClick();
    void EditAndDownloadParameters();
    void DumpMemory();
    void DownloadProgram();

signals:
    // The grid font changed; dialogs that show table texts follow it.
    void GridFontChanged(const QFont& font);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void CreateActions();
    void CreateMenus();
    void CreateToolbar();
    void CreateClientArea();
    // The service commands on Ctrl+Alt (with or without Shift) and F3, F4,
    // F6 or F8: actions of the window in no menu.
    void CreateHiddenKeys();
    QAction* AddAction(const char* name, const QString& text, void (TMainForm::*handler)());
    QAction* AddSeparator(const char* name);
    QAction* AddButton(const char* name, const QString& hint, const QIcon& icon,
                       void (TMainForm::*handler)());
    TableGrid* CreateGrid(const char* name, TextTable& table);
    void FitGridColumns(TableGrid& grid, const TextTable& table);

    // Saves under the current name, or asks for one; true when saved.
    bool SaveDocumentCommand();
    bool SaveDocumentAs();
    bool SaveDocumentTo(const QString& path);
    // Runs file work under the wait cursor; a file error is shown, and false.
    bool RunFileCommand(const std::function<void()>& command);
    void UpdateCaption();
    // The caption's mark and the status bar follow the document's history.
    void ShowModified();
    // After a recorded change: the same.
    void FollowHistory();
    void CreateEditMenu(QMenuBar* bar);
    void CreateStatusWidgets();
    // The texts the window words while it runs (find bar, status fields),
    // again once the language is loaded.
    void ShowLanguageTexts();
    void UpdatePortStatus();
    void UpdatePluCount();
    void ShowStepFocus(const EditFocus& focus);
    // A row of grid that the find bar's filter hides is shown by switching
    // the filter off, and the status bar says so.
    void ShowFilteredRow(TableGrid& grid, int row);
    // Remembered state: window, splitter, columns, font, folder, recent files.
    void RestoreWorkspace();
    void SaveWorkspace();
    void AddRecentFile(const QString& path);
    void RebuildRecentMenu();
    void OpenRecentFile(const QString& path);
    // Download data (or the changes only, while Download changes runs it)
    // of the chosen tables, then the read-back when asked for.
    void RunDownload(const TransferChoice& choice, bool verify);
    RegisterCommandRequest CommandRequest(RegisterCommandKind kind, const TransferChoice& choice) const;
    // The register command runner on this window's link and progress window,
    // run exclusively; Cancel aborts the link (MainCompare.cpp).
    class RegisterFrontEnd;
    RegisterCommandResult RunRegisterCommand(const RegisterCommandRequest& request);
    // The failure notice of a transfer, or where its refused data is.
    void ShowTransferOutcome(const TransferResult& result);
    // How a register command ended: the failure notices, what was done in the
    // status bar, what a stopped transfer left (a stopped download offers
    // Download changes).
    void ShowCommandOutcome(const RegisterCommandRequest& request, const RegisterCommandResult& outcome);
    // After a port that did not open: the connection check's findings in the
    // status bar, when causeText holds more than the link's own reason.
    void ShowPortRemedy(const QString& causeText, const FailureCause& cause);
    // What the read-back after a download found.
    void ShowVerifyResult(const RegisterCommandResult& outcome);
    // Shelf labels (MainLabels.cpp): the dialog, with the rows a download
    // offers when given; the rows whose label a download of the request
    // changes (nothing known: none); after the download, the offer to print
    // them.
    void OpenLabelsDialog(const std::vector<int>& offered);
    std::vector<int> LabelRowsChangedBy(const TransferRequest& request) const;
    void OfferChangedLabels(const std::vector<int>& rows, const TransferResult& result);
    // Send to registers or Compare with registers, the whole run behind the
    // command gate.
    void RunOnRegisters(bool compare);
    // A passing notice in the status bar, for ten seconds.
    void ShowStatusNotice(const QString& text);
    void OpenTablesAsNewDocument(const TableSnapshot& tables);
    // A history that cannot be kept never stops the work; the status bar tells.
    void ShowHistoryWarning(TransferHistory& history);
    // Runs a service function (connection test, dump, program or font
    // download) with the progress window, the main link and the current port.
    // `command` names it in the transfer history ("test", "dump", ...).
    void RunService(const QString& command,
                    const std::function<ServiceResult(const ServiceContext&)>& service);
    // The port detection dialog's scan on its own link; a port found and
    // kept becomes the current port.
    void ScanForRegister(TDetectPortDlg& dialog);
    void CommitDataRequest(QSessionManager& manager);
    ISheetDialogs& SheetDialogs();
    TextTable& TableOf(TableKind kind);
    // Makes an accepted import's changes to the table as one step.
    void ApplySheetImport(TextTable& table, const ImportPlan& plan);

    std::unique_ptr<IMessageBox> m_ownMessages;
    std::unique_ptr<IFileDialogs> m_ownDialogs;
    IMessageBox* m_messages;
    IFileDialogs* m_dialogs;
    std::unique_ptr<ISheetDialogs> m_ownSheetDialogs;
    ISheetDialogs* m_sheetDialogs = nullptr;

    TextTable* m_pluTable = nullptr;
    TextTable* m_deptTable = nullptr;
    RecyTable m_recyTable;
    EditedDocument* m_document = nullptr;
    std::unique_ptr<TQelmIBusComm> m_link;
    TableGrid* m_pluGrid = nullptr;
    TableGrid* m_deptGrid = nullptr;
    QSplitter* m_splitter = nullptr;
    // The document's own history.
    DocumentHistory* m_history = nullptr;
    FindBar* m_findBar = nullptr;
    QLabel* m_portStatus = nullptr;
    QLabel* m_countStatus = nullptr;
    QLabel* m_modifiedStatus = nullptr;
    QMenu* m_recentMenu = nullptr;
    // "Print labels for the N changed articles" after a download.
    QPushButton* m_labelsOffer = nullptr;
    std::vector<int> m_offeredLabelRows;
    QStringList m_recentFiles;
    bool m_countPending = false;
    TAboutBox* m_aboutBox = nullptr;
    TUserGuide* m_userGuide = nullptr;
    TRecyForm* m_recyForm = nullptr;
    TCommDlg* m_commDlg = nullptr;
    // The progress window is a top-level window of its own: it disables this
    // one while a transfer runs, so it must not be its child.
    std::unique_ptr<TProgressForm> m_progressForm;
    TUploadDlg* m_uploadDlg = nullptr;
    TDownloadDlg* m_downloadDlg = nullptr;
    TDetectPortDlg* m_detectPortDlg = nullptr;
    TConnectionCheckDlg* m_connectionCheckDlg = nullptr;
    TDataDlg* m_dataDlg = nullptr;
    TParaDlg* m_paraDlg = nullptr;
    // The port detection dialog's own link: untraced, default properties.
    std::unique_ptr<TQelmIBusComm> m_detectLink;
    ListingViewer m_listingViewer = [this](const QString& path) { OpenInTextViewer(path, this); };

    int m_portNumber = 2;
    int m_speedIndex = 0;
    QList<QWidget*> m_windows;
    QString m_languageFilePath;
    bool m_shown = false;
    bool m_discardConfirmed = false;
    // Set while Download changes runs the download command.
    bool m_downloadChangesOnly = false;
    CommandGate* m_gate = nullptr;
    bool m_closePending = false;
};
