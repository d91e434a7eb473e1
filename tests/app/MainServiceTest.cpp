// The main window's register commands run end to end: menu items, buttons
// and hidden keys, their dialogs and the progress window, over a pseudo-
// terminal against the register simulator.
#include "app/Main.h"
#include "app/PortMapOption.h"
#include "widgets/TableGrid.h"

#include "AppTestSupport.h"
#include "ShownForm.h"
#include "link/QelmIBus.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "serial/PortResolver.h"
#include "app/ConnectionCheckDlg.h"
#include "dialogs/DetectPortDlg.h"
#include "config/PortMap.h"
#include "config/SettingsFile.h"
#include "config/StartupValues.h"
#include "support/ModalDialogs.h"
#include "support/SimProcess.h"
#include "dialogs/ProgressForm.h"
#include "dialogs/RangeSpinEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray Pattern(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * seed + i / 256) & 0xFF);
    return bytes;
}

// Watches the progress window while a command runs, from the event loop the
// command's waits keep running.
class ProgressWatch
{
public:
    explicit ProgressWatch(TMainForm& form) : m_form(form)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Look(); });
        m_timer.start(1);
    }

    // Presses OK once an error has waited for it over this many looks.
    void PressOkAfterError(int looks) { m_okAfter = looks; }

    // Runs once, when the first error is shown.
    std::function<void()> onError;
    bool seen = false;
    bool mainEnabledWhileShown = false;
    QString errorText;
    QString causeText;
    // The time left as last shown, once it was shown.
    QString timeLeft;
    int errorLooks = 0;

private:
    void Look()
    {
        TProgressForm& progress = *m_form.ProgressForm();
        if (!progress.isVisible())
            return;
        seen = true;
        mainEnabledWhileShown = mainEnabledWhileShown || m_form.isEnabled();
        if (const QString left = progress.findChild<QLabel*>(QStringLiteral("TimeLeftLabel"))->text(); !left.isEmpty())
            timeLeft = left;
        if (progress.ProgressState() != IProgress::State::ErrorShown)
            return;
        errorText = progress.findChild<QLabel*>(QStringLiteral("StatusLabel"))->text();
        const auto* cause = progress.findChild<QLabel*>(QStringLiteral("CauseLabel"));
        causeText = cause->isVisible() ? cause->text() : QString();
        if (errorLooks == 0 && onError)
            onError();
        if (++errorLooks >= m_okAfter && m_okAfter > 0)
            progress.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    }

    TMainForm& m_form;
    QTimer m_timer;
    int m_okAfter = 0;
};

struct SecondCommandAttempts;

class MainServiceTest : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        SetDecimalSeparator(QLatin1Char('.'));
    }

    void TearDown() override
    {
        m_form.reset();
        SetPortResolver({});
        ResetDecimalSeparator();
        ProgramDirFixture::TearDown();
    }

    // Starts the simulator on COM3; the program folder is its folder from now on.
    void StartSim(const QStringList& options = {})
    {
        ASSERT_TRUE(sim.Start(options)) << qPrintable(sim.ErrorString());
        LoadStartupValues();
    }

    void StopSim() { ASSERT_TRUE(sim.Stop()) << qPrintable(sim.ErrorString()); }

    // Ends the simulator, which hangs up the line, once the progress window's
    // status starts with `status`.
    void UnplugWhenStatus(const QString& status)
    {
        m_unplug = std::make_unique<QTimer>();
        QObject::connect(m_unplug.get(), &QTimer::timeout, [this, status] {
            const auto* label = Form().ProgressForm()->findChild<QLabel*>(QStringLiteral("StatusLabel"));
            if (!Form().ProgressForm()->isVisible() || !label->text().startsWith(status))
                return;
            m_unplug->stop();
            StopSim();
        });
        m_unplug->start(5);
    }

    int FramesLike(const QString& text) const { return int(sim.FrameLines().filter(text).size()); }

    // The main window on the simulator's port, shown and active.
    TMainForm& Form()
    {
        if (!m_form) {
            m_form = std::make_unique<TMainForm>(&messages, &dialogs);
            m_form->SetLanguageFilePath(FilePath(QStringLiteral("plu-manager.LNG")));
            m_form->CreateWindows(QStringLiteral("Shop"));
            m_form->SetPortNumber(3);
            m_form->SetListingViewer([this](const QString& path) { viewed << path; });
            m_form->show();
            QApplication::setActiveWindow(m_form.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        }
        return *m_form;
    }

    void Trigger(const char* action) { TriggerAction(Form(), action); }

    // With Shift as on Linux desktops, where Ctrl+Alt+Fn switches consoles.
    // Keys reach the window the operator works in, the active one.
    void PressHiddenKey(Qt::Key key, Qt::KeyboardModifiers extra = Qt::NoModifier)
    {
        QApplication::setActiveWindow(&Form());
        QTest::keyClick(Form().windowHandle(), key, Qt::ControlModifier | Qt::AltModifier | extra);
    }

    // Writes a file into the program folder and returns its path.
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = AppPaths::ProgramFile(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    // Whether the window's commands (menu items, toolbar buttons, hidden
    // keys) and its grids take the operator's input.
    bool PartsEnabled()
    {
        const auto* button = Form().findChild<QToolButton*>(QStringLiteral("DownLoadBtn"));
        for (const char* name : {"NewItem", "DownloadItem", "UploadItem", "TestDataKey", "DumpKey"}) {
            if (!Form().findChild<QAction*>(QString::fromLatin1(name))->isEnabled())
                return false;
        }
        return button->isEnabled() && Form().centralWidget()->isEnabled();
    }

    SecondCommandAttempts TrySecondCommandsAfterCancel(const std::function<void()>& start, const QString& cancelAt);

    void ExpectWindowsSettled()
    {
        EXPECT_FALSE(Form().ProgressForm()->isVisible());
        EXPECT_TRUE(Form().isEnabled());
        EXPECT_TRUE(PartsEnabled());
        EXPECT_FALSE(Form().Link().isActive());
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    QStringList viewed;
    SimProcess sim;

private:
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<QTimer> m_unplug;
};

TEST_F(MainServiceTest, TheTestButtonLogsInAndOutWithTheProgressWindowShownBriefly)
{
    StartSim();
    ProgressWatch watch(Form());
    auto* button = Form().findChild<QToolButton*>(QStringLiteral("TestBtn"));
    ASSERT_NE(button, nullptr);
    button->click();

    EXPECT_TRUE(watch.seen);
    EXPECT_FALSE(watch.mainEnabledWhileShown);
    EXPECT_EQ(watch.errorLooks, 0);
    ExpectWindowsSettled();
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
    // The main link traces, and closing the port wrote the trace.
    EXPECT_TRUE(ReadFile(sim.TracePath()).contains("Send"));
    StopSim();
    EXPECT_EQ(FramesLike("(log-in): ack"), 1);
    EXPECT_EQ(FramesLike("(log-out): ack"), 1);
}

TEST_F(MainServiceTest, PortMapOptionsLeadTheProgramToTheSimulatorWhateverTheSettingsSay)
{
    StartSim();
    SetPortDevicePath(QStringLiteral("COM3"), AppPaths::ProgramFile(QStringLiteral("no-such-tty")));
    // As the demo start passes them; the windows are made afterwards.
    UsePortMapOverrides(ParsePortMapOptions({"plu-manager", "--port-map", "COM3=" + sim.LinkPath()}));
    Trigger("TestItem");
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
    StopSim();
    EXPECT_EQ(FramesLike("(log-in): ack"), 1);
}

TEST_F(MainServiceTest, ASilentRegisterLeavesConnectErrorUntilOkAndGetsNoLogOut)
{
    StartSim({"--fail-after", "0"});
    ProgressWatch watch(Form());
    watch.PressOkAfterError(20);
    // A hidden key must not start a second command on the busy link.
    watch.onError = [this] { PressHiddenKey(Qt::Key_F3); };
    Trigger("TestItem");
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 1), QString());

    EXPECT_EQ(watch.errorText, QStringLiteral("Connect...Error!"));
    EXPECT_GE(watch.errorLooks, 20);
    EXPECT_FALSE(watch.mainEnabledWhileShown);
    ExpectWindowsSettled();
    EXPECT_TRUE(QFile::exists(sim.TracePath()));
    StopSim();
    EXPECT_GT(FramesLike("(log-in)"), 0);
    EXPECT_EQ(FramesLike("(log-out)"), 0);
}

TEST_F(MainServiceTest, APortThatCannotBeOpenedIsReportedAndNothingIsShown)
{
    SetPortDevicePath(QStringLiteral("COM3"), AppPaths::ProgramFile(QStringLiteral("no-such-tty")));
    ProgressWatch watch(Form());
    Trigger("TestItem");
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors.first().startsWith(QStringLiteral("Error opening COM3!")));
    EXPECT_TRUE(messages.errors.first().endsWith(QStringLiteral("no-such-tty does not exist.")))
        << "the reason follows the notice";
    EXPECT_FALSE(watch.seen);
    ExpectWindowsSettled();

    // "None" opens COM0, which does not exist either.
    Form().SetPortNumber(0);
    Trigger("TestItem");
    ASSERT_EQ(messages.errors.size(), 2);
    EXPECT_TRUE(messages.errors.last().startsWith(QStringLiteral("Error opening COM0!")));
}

TEST_F(MainServiceTest, DownloadAndUploadThroughTheMainWindow)
{
    const QString state = sim.FilePath(QStringLiteral("state.json"));
    StartSim({"--state", state});
    TextTable& plu = Form().PluTable();
    plu.SetCell(PLUColumn::Barcode, 1, QStringLiteral("2900000056789"));
    plu.SetCell(PLUColumn::Name, 1, QStringLiteral("Milk 1l"));
    plu.SetCell(PLUColumn::UnitPrice, 1, QStringLiteral("1.19"));
    plu.SetCell(PLUColumn::Department, 1, QStringLiteral("1"));
    plu.SetCell(PLUColumn::Name, 7, QString::fromLatin1("Caf\xE9 cr\xE8me"));
    plu.SetCell(PLUColumn::Department, 7, QStringLiteral("2"));
    Form().DeptmentTable().SetCell(DeptmentColumn::Name, 2, QStringLiteral("Bakery"));

    {
        ProgressWatch watch(Form());
        OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0, 1}); });
        Trigger("DownloadItem");
        EXPECT_TRUE(watch.seen);
        EXPECT_FALSE(watch.mainEnabledWhileShown);
        EXPECT_EQ(watch.errorLooks, 0) << qPrintable(watch.errorText);
    }
    ExpectWindowsSettled();
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));

    // The rows come back into an emptied document.
    Form().History().Reset();
    Form().NewItemClick();
    ASSERT_EQ(plu.Cell(PLUColumn::Name, 1), QString());
    {
        ProgressWatch watch(Form());
        OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0, 1}); });
        Trigger("UploadItem");
        EXPECT_TRUE(watch.seen);
        EXPECT_FALSE(watch.mainEnabledWhileShown);
    }
    ExpectWindowsSettled();
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 1), QStringLiteral("Milk 1l"));
    EXPECT_EQ(plu.Cell(PLUColumn::UnitPrice, 1), QStringLiteral("1.19"));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), QString::fromLatin1("Caf\xE9 cr\xE8me"));
    EXPECT_EQ(Form().DeptmentTable().Cell(DeptmentColumn::Name, 2), QStringLiteral("Bakery"));
    // The grid shows what the table holds.
    const QAbstractItemModel* model = Form().PLUGrid().model();
    bool shown = false;
    for (int row = 0; row < 3 && !shown; ++row)
        for (int column = 0; column < model->columnCount() && !shown; ++column)
            shown = model->index(row, column).data().toString() == QStringLiteral("Milk 1l");
    EXPECT_TRUE(shown);

    // What the register itself kept.
    StopSim();
    QFile stateFile(state);
    ASSERT_TRUE(stateFile.open(QIODevice::ReadOnly));
    const QJsonArray plus = QJsonDocument::fromJson(stateFile.readAll()).object().value("plus").toArray();
    ASSERT_EQ(plus.size(), 2);
    EXPECT_EQ(plus[0].toObject().value("number").toInt(), 1);
    EXPECT_EQ(plus[0].toObject().value("name").toString(), QStringLiteral("Milk 1l"));
    EXPECT_EQ(plus[0].toObject().value("price").toInt(), 119);
    EXPECT_EQ(plus[1].toObject().value("number").toInt(), 7);
}

TEST_F(MainServiceTest, CtrlAltF6DumpsTheChosenMemoryAndHandsTheListingToTheViewer)
{
    StartSim();
    QString title;
    OnNextModal([&title](QDialog& dialog) {
        title = dialog.windowTitle();
        for (QRadioButton* area : dialog.findChildren<QRadioButton*>())
            if (area->text() == QStringLiteral("RAM"))
                area->setChecked(true);
        dialog.accept();
    });
    ProgressWatch watch(Form());
    PressHiddenKey(Qt::Key_F6);

    EXPECT_EQ(title, QStringLiteral("Upload data range"));
    EXPECT_TRUE(watch.seen);
    EXPECT_FALSE(watch.mainEnabledWhileShown);
    ExpectWindowsSettled();
    ASSERT_EQ(viewed, QStringList{sim.FilePath(QStringLiteral("RAM_TEMP.BIN"))});
    const QList<QByteArray> lines = ReadFile(viewed.first()).split('\n');
    ASSERT_EQ(lines.size(), 8193);
    EXPECT_TRUE(lines[16].startsWith("00000100  52 41 4d ")) << lines[16].constData();

    // Cancel in the range dialog sends nothing and shows nothing.
    viewed.clear();
    title.clear();
    OnNextModal([&title](QDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    PressHiddenKey(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(title, QStringLiteral("Upload data range"));
    EXPECT_TRUE(viewed.isEmpty());

    // Ctrl+Shift+Alt+F4 opens the parameters; Cancel sends nothing.
    QString parameters;
    OnNextModal([&parameters](QDialog& dialog) {
        parameters = dialog.objectName();
        dialog.reject();
    });
    PressHiddenKey(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(parameters, QStringLiteral("ParaDlg"));
    StopSim();
    EXPECT_EQ(FramesLike("(log-in)"), 1);
}

TEST_F(MainServiceTest, ProgramImageOnCtrlAltF8AndFontFromTheHiddenItemReachTheRegister)
{
    const QString program = sim.FilePath(QStringLiteral("program.bin"));
    const QString font = sim.FilePath(QStringLiteral("font.bin"));
    StartSim({"--save-program", program, "--save-font", font});
    const QByteArray image = Pattern(8192, 13);
    const QByteArray glyphs = Pattern(600, 7);
    dialogs.sendNames << WriteFile(QStringLiteral("image.hex"), image);
    dialogs.sendNames << WriteFile(QStringLiteral("glyphs.fnt"), glyphs);

    {
        ProgressWatch watch(Form());
        PressHiddenKey(Qt::Key_F8, Qt::ShiftModifier);
        EXPECT_TRUE(watch.seen);
        EXPECT_FALSE(watch.mainEnabledWhileShown);
        EXPECT_EQ(watch.errorLooks, 0) << qPrintable(watch.errorText);
    }
    ExpectWindowsSettled();
    Trigger("DownloadFontItem");
    ExpectWindowsSettled();
    EXPECT_EQ(dialogs.askedFilters, (QStringList{"*.hex", "*.fnt"}));
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
    StopSim();

    // The first 16 blocks stay out of a program load.
    const QByteArray receivedProgram = ReadFile(program);
    const QByteArray receivedFont = ReadFile(font);
    ASSERT_EQ(receivedProgram.size(), image.size());
    EXPECT_EQ(receivedProgram.left(4096), QByteArray(4096, '\0'));
    EXPECT_EQ(receivedProgram.mid(4096), image.mid(4096));
    ASSERT_GE(receivedFont.size(), glyphs.size());
    EXPECT_EQ(receivedFont.left(glyphs.size()), glyphs);
}

// Cancel in the progress window ends a program load without its end marker:
// the marker's byte sum is the whole image's, and a loader that trusts it could
// take the blocks received for a whole program.
TEST_F(MainServiceTest, ACancelledProgramLoadGetsNoEndMarker)
{
    StartSim({"--wire-time"});
    dialogs.sendNames << WriteFile(QStringLiteral("image.hex"), Pattern(65536, 13));
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        TProgressForm& progress = *Form().ProgressForm();
        if (!progress.isVisible() || progress.Progress() < 3)
            return;
        cancel.stop();
        progress.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    cancel.start(5);
    PressHiddenKey(Qt::Key_F8, Qt::ShiftModifier);
    ExpectWindowsSettled();
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
    StopSim();
    EXPECT_GE(FramesLike("block 18"), 1) << "blocks were sent before Cancel";
    EXPECT_EQ(FramesLike("end marker"), 0);
}

TEST_F(MainServiceTest, DetectionFindsTheRegisterOnCom3AndYesMakesItTheCurrentPort)
{
    StartSim();
    SetPortDevicePath(QStringLiteral("COM1"), sim.FilePath(QStringLiteral("absent1")));
    SetPortDevicePath(QStringLiteral("COM2"), sim.FilePath(QStringLiteral("absent2")));
    Form().SetPortNumber(1);
    messages.yesNoAnswers = {true};

    QStringList results;
    OnNextModal([&results](QDialog& dialog) {
        auto& detect = static_cast<TDetectPortDlg&>(dialog);
        detect.findChild<QPushButton*>(QStringLiteral("DetectBtn"))->click();
        for (int port = 1; port <= TDetectPortDlg::kPorts; ++port)
            results << detect.PortResult(port);
        detect.findChild<QPushButton*>(QStringLiteral("CloseBtn"))->click();
    });
    Trigger("DetectportItem");

    EXPECT_EQ(results, (QStringList{"not present", "not present", "Qelm found!", ""}));
    EXPECT_TRUE(messages.errors.isEmpty()) << "no message box for a device that does not exist";
    EXPECT_EQ(messages.questions, QStringList{"Port found! Do you want to apply it?"});
    EXPECT_EQ(Form().PortNumber(), 3);
    EXPECT_EQ(SettingsFile(AppPaths::SettingsPath()).ReadInteger(QStringLiteral("Comm"), QStringLiteral("Port"), 0), 3);
    // The scan's own link keeps no trace: closing it left DEBUG.LOG empty.
    EXPECT_EQ(ReadFile(sim.TracePath()), QByteArray());

    // The next command goes to the port found; the scan itself logged in only.
    Trigger("TestItem");
    EXPECT_TRUE(messages.errors.isEmpty());
    StopSim();
    EXPECT_EQ(FramesLike("(log-in): ack"), 2);
    EXPECT_EQ(FramesLike("(log-out): ack"), 1);
}

// The cable is pulled during the log-in's hunt through the rates, during a
// package and during the wake-up patterns: each command shows its step's
// error, and once OK is pressed the window is usable for the next command.
TEST_F(MainServiceTest, APulledCableEndsTheCommandAndTheWindowStaysUsable)
{
    const auto expectFailure = [this](const std::function<void()>& start, const QString& error) {
        ProgressWatch watch(Form());
        watch.PressOkAfterError(1);
        start();
        EXPECT_EQ(watch.errorText, error);
        ExpectWindowsSettled();
    };

    StartSim({"--drop", "1000"});
    UnplugWhenStatus(QStringLiteral("Connect"));
    expectFailure([this] { Trigger("TestItem"); }, QStringLiteral("Connect...Error!"));

    StartSim({"--fill-demo", "--wire-time"});
    UnplugWhenStatus(QStringLiteral("Upload:PLU"));
    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0}); });
    expectFailure([this] { Trigger("UploadItem"); }, QStringLiteral("Upload:PLU...Error!"));

    StartSim();
    dialogs.sendNames << WriteFile(QStringLiteral("image.hex"), Pattern(8192, 13));
    UnplugWhenStatus(QStringLiteral("Wait 1 second"));
    expectFailure([this] { PressHiddenKey(Qt::Key_F8); }, QStringLiteral("Wait 1 second...Error!"));
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));

    StartSim();
    Trigger("TestItem");
    ExpectWindowsSettled();
    StopSim();
    EXPECT_EQ(FramesLike("(log-out): ack"), 1) << "the next command runs normally";
}

// The line goes while the tables are read back after a download: the
// operator learns that the download went through and the verify did not.
TEST_F(MainServiceTest, AFailedReadBackSaysTheDownloadItselfCompleted)
{
    StartSim({"--wire-time"});
    for (int n = 1; n <= 12; ++n)
        Form().PluTable().SetCell(PLUColumn::Name, n, QStringLiteral("Article %1").arg(n));
    UnplugWhenStatus(QStringLiteral("Upload:PLU"));
    ProgressWatch watch(Form());
    watch.PressOkAfterError(1);
    OnNextModal([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("VerifyCheck"))->setChecked(true);
        dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit"))->SetText(QStringLiteral("12"));
        TickAndAccept(dialog, {0});
    });
    Trigger("DownloadItem");
    EXPECT_EQ(watch.errorText, QStringLiteral("Upload:PLU...Error!"));
    EXPECT_EQ(messages.errors, QStringList{"The download itself completed; the verification could not be made."});
    ExpectWindowsSettled();
}

// The window's link asks a register that fell silent after the log-in for
// its status eleven times, a second apart: the last marker is Retry:10.
TEST_F(MainServiceTest, TheWindowsLinkRetriesTenTimes)
{
    StartSim({"--fail-after", "1"});
    ProgressWatch watch(Form());
    watch.PressOkAfterError(1);
    Trigger("TestItem");
    EXPECT_EQ(watch.errorText, QStringLiteral("Connect...Error!"));
    EXPECT_EQ(watch.causeText, QStringLiteral("The register did not answer (11 tries, 1 s apart)."));
    const QByteArray trace = ReadFile(sim.TracePath());
    EXPECT_TRUE(trace.contains("Retry:10")) << trace.right(400).constData();
    EXPECT_FALSE(trace.contains("Retry:11"));
    StopSim();
    EXPECT_EQ(FramesLike("(memory read): silent"), 11) << qPrintable(sim.FrameLines().join('\n'));
}

// What a second command tried while the first one logged out after Cancel
// could do.
struct SecondCommandAttempts
{
    int phase = 0;
    bool partsEnabledDuringLogOuts = false;
    bool closed = true;
    int addedRuns = 0;
    QStringList dialogsOpened;
};

// While a command runs, and after Cancel until its log-outs have ended,
// no other command of the window can start: not by a shortcut (also of an
// action added later), not by a hidden key; closing waits for the command.
// `start` begins the command; Cancel is pressed once the progress window's
// status starts with `cancelAt`, and the register is silent by then.
SecondCommandAttempts MainServiceTest::TrySecondCommandsAfterCancel(const std::function<void()>& start,
                                                                    const QString& cancelAt)
{
    SecondCommandAttempts attempts;
    auto* added = new QAction(&Form());
    added->setShortcut(Qt::Key_F11);
    Form().menuBar()->actions().constFirst()->menu()->addAction(added);
    QObject::connect(added, &QAction::triggered, [&attempts] { ++attempts.addedRuns; });
    QTimer modalGuard; // a dialog opened by a second command is recorded and closed
    QObject::connect(&modalGuard, &QTimer::timeout, [&attempts] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            attempts.dialogsOpened << dialog->objectName();
            dialog->reject();
        }
    });

    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        TProgressForm& progress = *Form().ProgressForm();
        const auto* status = progress.findChild<QLabel*>(QStringLiteral("StatusLabel"));
        if (attempts.phase == 0 && progress.isVisible() && status->text().startsWith(cancelAt)) {
            attempts.phase = 1;
            progress.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
        } else if (attempts.phase >= 1 && Form().Link().isActive()) {
            attempts.partsEnabledDuringLogOuts = attempts.partsEnabledDuringLogOuts || PartsEnabled();
            if (attempts.phase == 1) {
                attempts.phase = 2;
                modalGuard.start(1);
                QApplication::setActiveWindow(&Form());
                QTest::keyClick(Form().windowHandle(), Qt::Key_F9);
                QTest::keyClick(Form().windowHandle(), Qt::Key_F11);
                PressHiddenKey(Qt::Key_F3);
                attempts.closed = Form().close();
            }
        }
    });
    look.start(1);
    start();
    return attempts;
}

void ExpectNothingElseStarted(const SecondCommandAttempts& attempts)
{
    EXPECT_EQ(attempts.phase, 2) << "Cancel was pressed and the log-outs were seen";
    EXPECT_FALSE(attempts.partsEnabledDuringLogOuts);
    EXPECT_FALSE(attempts.closed) << "closing waits for the command";
    EXPECT_EQ(attempts.addedRuns, 0);
    EXPECT_TRUE(attempts.dialogsOpened.isEmpty()) << qPrintable(attempts.dialogsOpened.join(' '));
}

TEST_F(MainServiceTest, NoSecondCommandStartsUntilTheRunningTransferHasReturned)
{
    StartSim({"--fill-demo", "--fail-after", "4"});
    const SecondCommandAttempts attempts = TrySecondCommandsAfterCancel(
        [this] {
            OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0}); });
            Trigger("UploadItem");
        },
        QStringLiteral("Upload:PLU"));

    ExpectNothingElseStarted(attempts);
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 1), QString()) << "no test data filled in";
    EXPECT_TRUE(PartsEnabled());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !Form().isVisible(); })) << "then the window closes";
    StopSim();
    EXPECT_EQ(FramesLike("(log-out)"), 4 * 3);
}

// The same for a service function, whose range dialog still works under the
// lock: the dump of RAM is cancelled while blocks are read.
TEST_F(MainServiceTest, NoSecondCommandStartsUntilTheRunningServiceHasReturned)
{
    StartSim({"--fail-after", "6"});
    const SecondCommandAttempts attempts = TrySecondCommandsAfterCancel(
        [this] {
            OnNextModal([](QDialog& dialog) {
                for (QRadioButton* area : dialog.findChildren<QRadioButton*>())
                    area->setChecked(area->text() == QStringLiteral("RAM"));
                dialog.accept();
            });
            PressHiddenKey(Qt::Key_F6, Qt::ShiftModifier);
        },
        QStringLiteral("Receive Data"));

    ExpectNothingElseStarted(attempts);
    EXPECT_TRUE(viewed.isEmpty()) << "a cancelled dump shows no listing";
    EXPECT_TRUE(QTest::qWaitFor([this] { return !Form().isVisible(); })) << "then the window closes";
    StopSim();
    EXPECT_GE(FramesLike("(log-out)"), 1);
}

TEST_F(MainServiceTest, ConnectionCheckShowsTheChecklistOfTheCurrentPort)
{
    StartSim({"--rate", "19200"});
    Form().SetPortNumber(3);
    QString report;
    QString summary;
    OnNextModal([&](QDialog& dialog) {
        // The check runs inside the dialog: look at it once it has ended.
        auto* poll = new QTimer(&dialog);
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            auto& check = static_cast<TConnectionCheckDlg&>(dialog);
            if (check.Summary().isEmpty() || check.Summary().startsWith("Checking"))
                return;
            poll->stop();
            report = check.Report();
            summary = check.Summary();
            check.findChild<QPushButton*>(QStringLiteral("CloseBtn"))->click();
        });
        poll->start(20);
    });
    Trigger("ConnectionCheckItem");

    EXPECT_TRUE(report.contains("OK   COM3 (" + sim.LinkPath() + ") exists.")) << report.toStdString();
    EXPECT_TRUE(report.contains("     Log-in at 9600 bit/s: no answer.\nOK   Log-in at 19200 bit/s: the register answered."));
    EXPECT_EQ(summary, "The register answers on COM3.");
    EXPECT_TRUE(messages.errors.isEmpty());
}

// Close ends the check before the next rate instead of after the last one,
// and the check adds its exchanges to DEBUG.LOG after the trace of the
// transfer it was run to understand, instead of emptying the file.
TEST_F(MainServiceTest, ConnectionCheckKeepsTheTraceAndCloseStopsIt)
{
    StartSim({"--rate", "115200"});
    Form().SetPortNumber(3);
    const QString trace = WriteFile(QStringLiteral("DEBUG.LOG"), "the failed transfer's trace\r\n");
    QString report;
    OnNextModal([&](QDialog& dialog) {
        auto* poll = new QTimer(&dialog);
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            auto& check = static_cast<TConnectionCheckDlg&>(dialog);
            if (!check.Report().contains("Log-in at 9600 bit/s: no answer."))
                return;
            poll->stop();
            check.findChild<QPushButton*>(QStringLiteral("CloseBtn"))->click();
        });
        poll->start(5);
    });
    Trigger("ConnectionCheckItem");
    const auto* check = Form().findChild<TConnectionCheckDlg*>(QStringLiteral("ConnectionCheckDlg"));
    ASSERT_NE(check, nullptr);
    report = check->Report();
    EXPECT_TRUE(report.contains("Log-in at 9600 bit/s: no answer.")) << report.toStdString();
    EXPECT_FALSE(report.contains("38400")) << report.toStdString();
    EXPECT_FALSE(report.contains("115200")) << report.toStdString();
    EXPECT_EQ(check->Summary(), "The check of COM3 was stopped.");
    EXPECT_FALSE(check->isVisible());

    const QByteArray kept = ReadFile(trace);
    EXPECT_TRUE(kept.startsWith("the failed transfer's trace\r\n")) << kept.left(80).constData();
    EXPECT_TRUE(kept.contains(">>>>>>Send data<<<<<<<<")) << "the check's own log-in frames follow";
    StopSim();
    EXPECT_EQ(FramesLike("(log-in)"), 0);
}

} // namespace

namespace {

// Ticks PLUs 1..last in the next download or upload dialog and accepts it.
void ChooseFirstPLUs(int last)
{
    OnNextModal([last](QDialog& dialog) {
        if (auto* check = dialog.findChild<QCheckBox*>(QStringLiteral("VerifyCheck")))
            check->setChecked(false);
        dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit"))->SetText(QString::number(last));
        TickAndAccept(dialog, {0});
    });
}

// Presses Cancel once the progress window counts `package` in a step.
class CancelAtPackage
{
public:
    CancelAtPackage(TMainForm& form, int package)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, &form, package] {
            TProgressForm& progress = *form.ProgressForm();
            if (!progress.isVisible() || progress.Progress() < package)
                return;
            m_timer.stop();
            progress.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
        });
        m_timer.start(2);
    }

private:
    QTimer m_timer;
};

} // namespace

// A command that worked says what it did in the status bar, nothing modal.
TEST_F(MainServiceTest, SuccessIsSaidInTheStatusBar)
{
    StartSim();
    for (int n = 1; n <= 9; ++n)
        Form().PluTable().SetCell(PLUColumn::Name, n, QStringLiteral("Article %1").arg(n));
    ChooseFirstPLUs(9);
    Trigger("DownloadItem");
    const QString download = Form().statusBar()->currentMessage();
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^Download finished: 9 PLUs in \d+ s \(COM3, 9600 bit/s\)$)"))
                    .match(download)
                    .hasMatch())
        << qPrintable(download);

    Trigger("TestItem");
    EXPECT_EQ(Form().statusBar()->currentMessage(), "Test: the register answers at 9600 bit/s");
    EXPECT_TRUE(messages.errors.isEmpty() && messages.informations.isEmpty() && messages.offers.isEmpty());

    // A port that does not open: after the link's box, the connection
    // check's remedy stays in the status bar.
    SetPortDevicePath(QStringLiteral("COM1"), sim.FilePath(QStringLiteral("absent1")));
    Form().SetPortNumber(1);
    Trigger("TestItem");
    EXPECT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(Form().statusBar()->currentMessage().startsWith(
        QStringLiteral("The port could not be opened: COM1 (%1) does not exist. Plug in the cable")
            .arg(sim.FilePath(QStringLiteral("absent1")))))
        << qPrintable(Form().statusBar()->currentMessage());
}

// Below the step's error the progress window names why: refused frames,
// damaged answers, a pulled cable.
TEST_F(MainServiceTest, TheProgressWindowNamesTheCauseOfAFailure)
{
    const auto failure = [this](const std::function<void()>& start) {
        ProgressWatch watch(Form());
        watch.PressOkAfterError(1);
        start();
        ExpectWindowsSettled();
        sim.Stop();
        return watch.errorText + QLatin1Char('|') + watch.causeText;
    };
    StartSim({"--corrupt", "1000"});
    EXPECT_EQ(failure([this] { Trigger("TestItem"); }),
              "Connect...Error!|The register's answers were damaged (checksum error).");

    StartSim({"--nak", "1000"});
    ChooseFirstPLUs(9);
    EXPECT_EQ(failure([this] { Trigger("UploadItem"); }), "Connect...Error!|The register refused the package (NAK).");

    StartSim({"--fill-demo", "--wire-time"});
    UnplugWhenStatus(QStringLiteral("Upload:PLU"));
    ChooseFirstPLUs(3000);
    EXPECT_EQ(failure([this] { Trigger("UploadItem"); }), "Upload:PLU...Error!|The serial device disappeared (unplugged).");
}

// A cancelled upload leaves in the document what it read, says so, and one
// Undo takes the document back to what it was before.
TEST_F(MainServiceTest, ACancelledUploadKeepsWhatWasReadAndOneUndoRestores)
{
    StartSim({"--fill-demo", "--wire-time"});
    for (int n = 1; n <= 3000; n += 100)
        Form().PluTable().SetCell(PLUColumn::Name, n, QStringLiteral("Mine %1").arg(n));
    Form().History().Reset();
    ASSERT_FALSE(Form().CurrentDocument().Modified());

    CancelAtPackage cancel(Form(), 5);
    ChooseFirstPLUs(3000);
    Trigger("UploadItem");
    ExpectWindowsSettled();
    ASSERT_EQ(messages.informations.size(), 1) << qPrintable(messages.informations.join('\n'));
    const QRegularExpressionMatch said =
        QRegularExpression(QStringLiteral("^Upload cancelled after PLU (\\d+): the rest of the table keeps its earlier "
                                          "contents$"))
            .match(messages.informations[0]);
    ASSERT_TRUE(said.hasMatch()) << qPrintable(messages.informations[0]);
    const int last = said.captured(1).toInt();
    EXPECT_GE(last, 4);
    EXPECT_LT(last, 3000);
    EXPECT_NE(Form().PluTable().Cell(PLUColumn::Name, 1), "Mine 1") << "PLU 1 was read";
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 2901), "Mine 2901");
    EXPECT_TRUE(Form().CurrentDocument().Modified());

    Form().UndoItemClick();
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 1), "Mine 1");
    EXPECT_FALSE(Form().CurrentDocument().Modified());
}

// A cancelled download says which PLUs the register got, and its offer of
// Download changes opens that command's dialog.
TEST_F(MainServiceTest, ACancelledDownloadSaysWhatTheRegisterHoldsAndOffersDownloadChanges)
{
    StartSim({"--wire-time"});
    CancelAtPackage cancel(Form(), 5);
    ChooseFirstPLUs(3000);
    messages.offerAnswer = true;
    Trigger("DownloadItem");
    ExpectWindowsSettled();
    ASSERT_EQ(messages.offers.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^PLUs 1–\\d+ were sent; the register keeps its earlier PLUs from "
                                                  "\\d+ on — send again, or Compare$"))
                    .match(messages.offers[0])
                    .hasMatch())
        << qPrintable(messages.offers[0]);
    EXPECT_EQ(messages.offeredCommands, QStringList{"Download &changes"});

    QString offered;
    OnNextModal([&offered](QDialog& dialog) {
        offered = dialog.windowTitle();
        dialog.reject();
    });
    QTRY_COMPARE(offered, QStringLiteral("Download changes"));
}

// With a line as slow as a real one the progress window tells the time left.
TEST_F(MainServiceTest, TheProgressWindowShowsTheTimeLeft)
{
    StartSim({"--wire-time"});
    Form().SetSpeedIndex(4);
    ProgressWatch watch(Form());
    ChooseFirstPLUs(300);
    Trigger("DownloadItem");
    EXPECT_TRUE(watch.timeLeft.startsWith("about ")) << qPrintable(watch.timeLeft);
    EXPECT_TRUE(Form().statusBar()->currentMessage().startsWith("Download finished: 300 PLUs"));
}
