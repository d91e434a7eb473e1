// What the main window remembers between runs (section [Workspace] of the
// settings file), the recent-files list, opening a named document, the status
// bar's permanent fields and the print preview.
#include "app/Main.h"

#include "app/FileDialogs.h"
#include "app/LanguageFile.h"
#include "app/Printing.h"
#include "editing/DocumentHistory.h"
#include "files/FileError.h"
#include "model/Language.h"
#include "model/MessageBox.h"
#include "config/AppPaths.h"
#include "serial/PortResolver.h"
#include "config/PortMap.h"
#include "config/RegisterList.h"
#include "config/SettingsFile.h"
#include "transfer/TransferRequest.h"
#include "widgets/TableGrid.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

#include <array>

namespace {

const QString Section = QStringLiteral("Workspace");
constexpr int MaxRecentFiles = 8;
constexpr std::array<int, 5> LineRates{9600, 19200, 38400, 57600, 115200};

QString RecentKey(int n)
{
    return QStringLiteral("Recent%1").arg(n);
}

QString ColumnWidths(const QTableView& grid)
{
    QStringList widths;
    for (int c = 0; c < grid.model()->columnCount(); ++c)
        widths << QString::number(grid.columnWidth(c));
    return widths.join(QLatin1Char(','));
}

void ApplyColumnWidths(QTableView& grid, const QString& text)
{
    const QStringList widths = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int c = 0; c < widths.size() && c < grid.model()->columnCount(); ++c) {
        bool ok = false;
        const int width = widths[c].toInt(&ok);
        if (ok && width > 0 && width < 4000 && !grid.isColumnHidden(c))
            grid.setColumnWidth(c, width);
    }
}

QByteArray FromBase64(const QString& text)
{
    return QByteArray::fromBase64(text.toLatin1());
}

} // namespace

// ---- Remembered state

void TMainForm::ShowMainWindow()
{
    const SettingsFile settings(AppPaths::SettingsPath());
    const QByteArray geometry = FromBase64(settings.ReadText(Section, QStringLiteral("Geometry")));
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    if (geometry.isEmpty() || settings.ReadFlag(Section, QStringLiteral("Maximized"), true))
        showMaximized();
    else
        show();
}

void TMainForm::RestoreWorkspace()
{
    const SettingsFile settings(AppPaths::SettingsPath());
    const QByteArray splitter = FromBase64(settings.ReadText(Section, QStringLiteral("Splitter")));
    if (!splitter.isEmpty())
        m_splitter->restoreState(splitter);
    const QString fontText = settings.ReadText(Section, QStringLiteral("Font"));
    QFont font;
    if (!fontText.isEmpty() && font.fromString(fontText))
        ApplyGridFont(font);
    ApplyColumnWidths(*m_pluGrid, settings.ReadText(Section, QStringLiteral("PLUColumns")));
    ApplyColumnWidths(*m_deptGrid, settings.ReadText(Section, QStringLiteral("DeptColumns")));
    const QString folder = settings.ReadText(Section, QStringLiteral("LastFolder"));
    if (!folder.isEmpty())
        m_dialogs->SetFolder(folder);
    m_recentFiles.clear();
    for (int n = 1; n <= MaxRecentFiles; ++n) {
        const QString path = settings.ReadText(Section, RecentKey(n));
        if (!path.isEmpty() && !m_recentFiles.contains(path))
            m_recentFiles << path;
    }
    RebuildRecentMenu();
}

void TMainForm::SaveWorkspace()
{
    std::vector<std::pair<QString, QString>> values{
        {QStringLiteral("Geometry"), QString::fromLatin1(saveGeometry().toBase64())},
        {QStringLiteral("Maximized"), isMaximized() ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("Splitter"), QString::fromLatin1(m_splitter->saveState().toBase64())},
        {QStringLiteral("PLUColumns"), ColumnWidths(*m_pluGrid)},
        {QStringLiteral("DeptColumns"), ColumnWidths(*m_deptGrid)},
        {QStringLiteral("Font"), m_pluGrid->font().toString()},
        {QStringLiteral("LastFolder"), m_dialogs->Folder()},
    };
    for (int n = 1; n <= MaxRecentFiles; ++n)
        values.push_back({RecentKey(n), n <= m_recentFiles.size() ? m_recentFiles[n - 1] : QString()});
    try {
        SettingsFile(AppPaths::SettingsPath()).WriteTexts(Section, values);
    } catch (const SettingsWriteError&) {
        // A settings file that cannot be written only costs what is remembered.
    }
}

void TMainForm::AddRecentFile(const QString& path)
{
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > MaxRecentFiles)
        m_recentFiles.removeLast();
    RebuildRecentMenu();
}

void TMainForm::RebuildRecentMenu()
{
    if (m_recentMenu == nullptr)
        return;
    m_recentMenu->clear();
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        const QString path = m_recentFiles[i];
        QAction* action = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        action->setObjectName(QStringLiteral("RecentItem%1").arg(i + 1));
        action->setStatusTip(path);
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    m_recentMenu->setEnabled(!m_recentFiles.isEmpty());
}

void TMainForm::OpenRecentFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        m_recentFiles.removeAll(path);
        RebuildRecentMenu();
        m_messages->Error(Tr("MainForm", "RecentFileGone",
                             "%1 no longer exists; it was removed from the list of recent files.")
                              .arg(path));
        return;
    }
    if (QuerySaveChanges())
        OpenDocumentFile(path);
}

void TMainForm::OpenDocumentFile(const QString& path)
{
    const QFileInfo file(path);
    bool opened = false;
    if (!file.isFile()) {
        m_document->ClearDocument();
        m_messages->Error(Tr("MainForm", "NoSuchFile", "Cannot open %1: there is no such file.").arg(path));
    } else {
        ReadNotes notes;
        opened = RunFileCommand([&] { notes = m_document->LoadDocument(file.absoluteFilePath()); });
        if (!opened)
            m_document->ClearDocument();
        if (!notes.isEmpty())
            m_messages->Information(notes.join(u'\n'));
    }
    UpdateCaption();
    if (opened) {
        m_dialogs->SetFolder(file.absolutePath());
        AddRecentFile(m_document->CurrentFileName());
    }
}

// ---- Status bar

void TMainForm::CreateStatusWidgets()
{
    const auto add = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        statusBar()->addPermanentWidget(label);
        return label;
    };
    m_modifiedStatus = add("ModifiedStatus");
    m_modifiedStatus->setText(QStringLiteral("Modified"));
    m_modifiedStatus->setVisible(false);
    m_countStatus = add("PluCountStatus");
    m_portStatus = add("PortStatus");
    const auto recount = [this] {
        if (m_countPending)
            return;
        m_countPending = true;
        QTimer::singleShot(0, this, &TMainForm::UpdatePluCount);
    };
    connect(m_pluTable, &QAbstractItemModel::dataChanged, this, recount);
    connect(m_pluTable, &QAbstractItemModel::modelReset, this, recount);
    UpdatePluCount();
}

void TMainForm::UpdatePluCount()
{
    m_countPending = false;
    int named = 0;
    for (int row = 1; row < m_pluTable->RowCount(); ++row) {
        if (!m_pluTable->Cell(m_pluTable->KeyColumn(), row).isEmpty())
            ++named;
    }
    m_countStatus->setText(named == 1 ? Tr("MainForm", "PluCountStatus.One", "1 named PLU")
                                      : Tr("MainForm", "PluCountStatus.Count", "%1 named PLUs")
                                            .arg(QLocale().toString(named)));
}

void TMainForm::UpdatePortStatus()
{
    if (m_portStatus == nullptr)
        return;
    if (m_portNumber < 1) {
        m_portStatus->setText(Tr("MainForm", "PortStatus.None", "No port"));
        return;
    }
    const QString name = PortNameFor(m_portNumber);
    const QString rate = m_speedIndex >= 0 && m_speedIndex < int(LineRates.size())
                             ? Tr("MainForm", "PortStatus.Rate", "%1 bit/s").arg(LineRates[std::size_t(m_speedIndex)])
                             : Tr("MainForm", "PortStatus.UnknownRate", "unknown rate");
    const QString port = Tr("MainForm", "PortStatus.Port", "%1 (%2), %3")
                             .arg(name, HasPortResolver() ? ResolvePortName(name) : PortDevicePath(name), rate);
    // The register on the current port, when the list names it.
    const QString registerName = RegisterNameOfPort(ReadRegisterList(AppPaths::SettingsPath()), name);
    m_portStatus->setText(registerName.isEmpty()
                              ? port
                              : Tr("MainForm", "PortStatus.Register", "%1: %2").arg(registerName, port));
}

void TMainForm::ShowModified()
{
    const bool modified = m_document->Modified();
    // A caption from the language file comes without the mark's place.
    if (!windowTitle().contains(QStringLiteral("[*]")))
        setWindowTitle(QStringLiteral("[*]") + windowTitle());
    setWindowModified(modified);
    if (m_modifiedStatus != nullptr)
        m_modifiedStatus->setVisible(modified);
}

// ---- Print preview

void TMainForm::PrintPreviewItemClick()
{
    QPrintPreviewDialog preview(this);
    preview.setObjectName(QStringLiteral("PrintPreviewDlg"));
    preview.setWindowTitle(QStringLiteral("Print preview"));
    TranslateWindow(preview);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        const QString error = PrintPluListing(*m_pluTable, *printer);
        if (!error.isEmpty())
            m_messages->Error(error);
    });
    preview.exec();
}
