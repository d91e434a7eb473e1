#include "dialogs/ProgressForm.h"

#include "model/Language.h"
#include "widgets/DialogParts.h"
#include "model/MessageBox.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kMinimumWidth = 360;
constexpr int kTickMs = 1000;

} // namespace

TProgressForm::TProgressForm(QWidget* mainWindow, IMessageBox& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_mainWindow(mainWindow),
      m_messages(messages)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(NoCaption());
    setModal(false);
    setMinimumWidth(kMinimumWidth);

    m_statusLabel = NamedLabel(QStringLiteral("StatusLabel"), QString(), this);
    m_statusLabel->setAutoFillBackground(true);
    m_statusLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_causeLabel = NamedLabel(QStringLiteral("CauseLabel"), QString(), this);
    m_causeLabel->setWordWrap(true);
    m_causeLabel->hide();
    m_elapsedLabel = NamedLabel(QStringLiteral("ElapsedLabel"), QString(), this);
    m_elapsedLabel->setProperty("languageData", true);
    m_timeLeftLabel = NamedLabel(QStringLiteral("TimeLeftLabel"), QString(), this);
    m_curLabel = NamedLabel(QStringLiteral("CurLabel"), QStringLiteral("0"), this);
    m_totalLabel = NamedLabel(QStringLiteral("TotalLabel"), QStringLiteral("0"), this);
    m_curLabel->setProperty("languageData", true);
    m_totalLabel->setProperty("languageData", true);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);

    m_okButton = new QPushButton(QStringLiteral("&OK"), this);
    m_okButton->setObjectName(QStringLiteral("OKBtn"));
    m_okButton->hide();
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    connect(m_okButton, &QPushButton::clicked, this, &TProgressForm::OKBtnClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TProgressForm::CancelBtnClick);

    auto* counters = new QGridLayout;
    counters->addWidget(NamedLabel(QStringLiteral("Label1"), QStringLiteral("Status:"), this), 0, 0);
    counters->addWidget(m_statusLabel, 0, 1);
    counters->addWidget(m_causeLabel, 1, 1);
    counters->addWidget(NamedLabel(QStringLiteral("Label2"), QStringLiteral("Current package:"), this), 2, 0);
    counters->addWidget(m_curLabel, 2, 1);
    counters->addWidget(NamedLabel(QStringLiteral("Label3"), QStringLiteral("Total Packages:"), this), 3, 0);
    counters->addWidget(m_totalLabel, 3, 1);
    counters->addWidget(NamedLabel(QStringLiteral("ElapsedTitle"), QStringLiteral("Elapsed:"), this), 4, 0);
    counters->addWidget(m_elapsedLabel, 4, 1);
    counters->addWidget(NamedLabel(QStringLiteral("TimeLeftTitle"), QStringLiteral("Time left:"), this), 5, 0);
    counters->addWidget(m_timeLeftLabel, 5, 1);
    counters->setColumnStretch(1, 1);

    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, &TProgressForm::ShowTimes);

    // OK, when shown, takes the place Cancel leaves.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(counters);
    layout->addWidget(m_progressBar);
    layout->addLayout(buttons);

    SetStatusBackground(palette().color(QPalette::Button));
}

void TProgressForm::Show()
{
    if (m_mainWindow) {
        if (!isVisible())
            m_enableMainOnClose = m_mainWindow->isEnabled();
        m_mainWindow->setEnabled(false);
        // Kept above the main window by the window manager for the whole
        // command, even when the operator clicks the main window.
        winId();
        if (QWindow* owner = m_mainWindow->window()->windowHandle())
            windowHandle()->setTransientParent(owner);
    }
    m_clock.start();
    m_ticker.start();
    SetMargin(0);
    SetProgress(0);
    m_state = State::Running;
    // What an earlier error left is not shown again.
    SetStatusBackground(palette().color(QPalette::Button));
    m_statusLabel->clear();
    m_causeLabel->clear();
    m_causeLabel->hide();
    m_okButton->hide();
    m_cancelButton->show();
    CentreOnScreen();
    show();
    raise();
    activateWindow();
}

void TProgressForm::Close()
{
    m_ticker.stop();
    hide();
    if (m_mainWindow && m_enableMainOnClose)
        m_mainWindow->setEnabled(true);
}

void TProgressForm::ShowStatus(Mode mode, const QString& text)
{
    if (m_state == State::Dismissed)
        return;
    if (mode == Mode::Error) {
        m_messages.Beep();
        SetStatusBackground(Qt::red);
        m_statusLabel->setText(text);
        m_cancelButton->hide();
        m_okButton->show();
        m_okButton->setDefault(true);
        m_okButton->setFocus();
        m_state = State::ErrorShown;
        // Nothing is left to estimate once a step has failed.
        m_ticker.stop();
        m_timeLeftLabel->clear();
        return;
    }
    m_causeLabel->hide();
    SetStatusBackground(palette().color(QPalette::Button));
    m_okButton->hide();
    m_cancelButton->show();
    m_statusLabel->setText(text);
    m_statusLabel->repaint();
    m_state = State::Running;
}

void TProgressForm::SetMargin(int total)
{
    m_margin = total;
    m_estimator.BeginStep(total, m_clock.isValid() ? m_clock.elapsed() : 0);
    ShowTimes();
    m_curLabel->setText(QLocale().toString(0));
    m_totalLabel->setText(QLocale().toString(std::max(total, 0)));
    if (total > 0)
        m_progressBar->setRange(0, total);
    m_progressBar->setValue(0);
}

void TProgressForm::SetProgress(int current)
{
    m_progress = current;
    m_curLabel->setText(QLocale().toString(current));
    // The bar ignores values outside its range; a count past the end shows full.
    m_progressBar->setValue(qBound(m_progressBar->minimum(), current, m_progressBar->maximum()));
    m_estimator.Progress(current, m_clock.isValid() ? m_clock.elapsed() : 0);
    ShowTimes();
}

void TProgressForm::ShowCause(const QString& text)
{
    if (m_state == State::Dismissed)
        return;
    m_causeLabel->setText(text);
    m_causeLabel->setVisible(!text.isEmpty());
    adjustSize();
}

void TProgressForm::SetLineRate(int bitsPerSecond)
{
    m_estimator.SetLineRate(bitsPerSecond);
}

void TProgressForm::ShowTimes()
{
    m_elapsedLabel->setText(m_clock.isValid() ? DurationText(m_clock.elapsed()) : QString());
    const std::optional<qint64> left = m_estimator.TimeLeftMs();
    m_timeLeftLabel->setText(left ? Tr("ProgressForm", "TimeLeftLabel.About", "about %1").arg(DurationText(*left)) : QString());
}

void TProgressForm::WaitDismissed()
{
    // A hidden window cannot be dismissed by anyone: do not wait for it.
    while (m_state != State::Dismissed && isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TProgressForm::SetCancelHandler(std::function<void()> handler)
{
    m_cancelHandler = std::move(handler);
}

void TProgressForm::OKBtnClick()
{
    Close();
    m_state = State::Dismissed;
}

void TProgressForm::CancelBtnClick()
{
    if (m_cancelHandler)
        m_cancelHandler();
    Close();
    m_state = State::Dismissed;
}

void TProgressForm::reject()
{
    if (m_state == State::Dismissed || !isVisible())
        return;
    if (m_state == State::ErrorShown)
        OKBtnClick();
    else
        CancelBtnClick();
}

void TProgressForm::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TProgressForm::SetStatusBackground(const QColor& color)
{
    QPalette palette = m_statusLabel->palette();
    palette.setColor(QPalette::Window, color);
    m_statusLabel->setPalette(palette);
}

void TProgressForm::CentreOnScreen()
{
    adjustSize();
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
