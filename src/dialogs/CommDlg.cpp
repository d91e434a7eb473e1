#include "dialogs/CommDlg.h"

#include "widgets/DialogParts.h"
#include "model/Language.h"
#include "model/MessageBox.h"
#include "config/AppPaths.h"
#include "serial/PortResolver.h"
#include "config/PortMap.h"
#include "dialogs/RadioGroup.h"
#include "serial/SerialDeviceList.h"
#include "config/SettingsFile.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kCommSection = QStringLiteral("Comm");
const QString kPortKey = QStringLiteral("Port");
const QString kBaudRateKey = QStringLiteral("BaudRate");
constexpr int kDefaultPort = 2;
constexpr int kDefaultBaudRate = 0;

QString ComName(int number)
{
    return QStringLiteral("COM") + QString::number(number);
}

// A radio group of words names each button `name` + the item's index, the
// key of its text; the items of a group of numbers are data.
TRadioGroup* FixedGroup(const QString& name, const QString& title, const QStringList& items,
                        int columns, bool enabled, QWidget* parent)
{
    auto* group = new TRadioGroup(title, items, columns, parent);
    group->setObjectName(name);
    for (int i = 0; i < group->Count(); ++i) {
        QRadioButton* button = group->Button(i);
        bool number = false;
        button->text().toDouble(&number);
        if (number)
            button->setProperty("languageData", true);
        else
            button->setObjectName(name + QString::number(i));
    }
    group->SetItemIndex(0);
    group->setEnabled(enabled);
    return group;
}

} // namespace

TCommDlg::TCommDlg(IMessageBox& messages, QWidget* parent, DeviceLister listDevices, DeviceAlias alias)
    : QDialog(parent), m_messages(messages),
      m_listDevices(listDevices ? std::move(listDevices) : DeviceLister([] { return ListSerialDevices(); })),
      m_alias(alias ? std::move(alias) : DeviceAlias([](const QString& path) { return SerialDeviceAlias(path); }))
{
    setObjectName(QStringLiteral("CommDlg"));
    setWindowTitle(QStringLiteral("Communication setting"));

    m_baudRateGroup = FixedGroup(QStringLiteral("BaudRateRG"), QStringLiteral("&Baud rate"),
                                 {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                                  QStringLiteral("57600"), QStringLiteral("115200")},
                                 2, true, this);
    // The line format is fixed (no parity, one stop bit); these only show it.
    auto* parityGroup = FixedGroup(QStringLiteral("ParityRG"), QStringLiteral("&Parity"),
                                   {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"),
                                    QStringLiteral("Mark"), QStringLiteral("Space")},
                                   1, false, this);
    auto* stopBitsGroup = FixedGroup(QStringLiteral("StopBitsRG"), QStringLiteral("&StopBits"),
                                     {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}, 3, false, this);

    m_portBox = new QComboBox(this);
    m_portBox->setObjectName(QStringLiteral("PortCB"));
    m_portBox->addItem(QStringLiteral("None"));
    for (int n = 1; n <= kComPorts; ++n)
        m_portBox->addItem(ComName(n));
    auto* portLabel = NamedLabel(QStringLiteral("PortLbl"), QStringLiteral("P&ort:"), this);
    portLabel->setBuddy(m_portBox);

    m_deviceBox = new QComboBox(this);
    m_deviceBox->setObjectName(QStringLiteral("DeviceCB"));
    m_deviceBox->setEditable(true);
    m_deviceBox->setInsertPolicy(QComboBox::NoInsert);
    m_deviceBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_deviceBox->setMinimumContentsLength(28);
    m_deviceLabel = NamedLabel(QStringLiteral("DeviceLbl"), QStringLiteral("&Device:"), this);
    m_deviceLabel->setBuddy(m_deviceBox);
    m_mappingLabel = NamedLabel(QStringLiteral("MappingLbl"), QStringLiteral("-"), this);
    m_mappingLabel->setTextFormat(Qt::PlainText);
    m_mappingLabel->setProperty("languageData", true);
    m_overrideLabel = NamedLabel(QStringLiteral("OverrideLbl"), QString(), this);
    m_overrideLabel->setTextFormat(Qt::PlainText);
    m_overrideLabel->setWordWrap(true);
    m_overrideLabel->setVisible(false);

    connect(m_portBox, &QComboBox::currentIndexChanged, this, [this] { PortCBChange(); });
    connect(m_deviceBox, &QComboBox::editTextChanged, this, &TCommDlg::DeviceEdited);
    // An item shows its other name beside the path; the field keeps the path.
    connect(m_deviceBox, &QComboBox::activated, this,
            [this](int index) { m_deviceBox->setEditText(m_deviceBox->itemData(index).toString()); });


    auto* groups = new QGridLayout;
    groups->addWidget(m_baudRateGroup, 0, 0);
    groups->addWidget(parityGroup, 0, 1, 2, 1);
    groups->addWidget(stopBitsGroup, 1, 0);
    auto* port = new QFormLayout;
    port->addRow(portLabel, m_portBox);
    port->addRow(m_deviceLabel, m_deviceBox);
    port->addRow(QString(), m_overrideLabel);
    port->addRow(QString(), m_mappingLabel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(port);
    layout->addLayout(OkCancelRow(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TCommDlg::showEvent(QShowEvent* event)
{
    // The language is read after the dialog was built.
    m_portBox->setItemText(0, Tr("CommDlg", "PortCB.None", "None"));
    QDialog::showEvent(event);
}

void TCommDlg::LoadSettings()
{
    const SettingsFile settings(AppPaths::SettingsPath());
    m_port = settings.ReadInteger(kCommSection, kPortKey, kDefaultPort);
    m_baudRate = settings.ReadInteger(kCommSection, kBaudRateKey, kDefaultBaudRate);
    for (int n = 1; n <= kComPorts; ++n) {
        m_storedDevices[n - 1] = PortDevicePath(ComName(n));
        m_chosenDevices[n - 1] = m_storedDevices[n - 1];
    }
    m_showingDevice = true;
    m_deviceBox->clear();
    for (const QString& device : m_listDevices())
        m_deviceBox->addItem(WithAlias(device), device);
    m_showingDevice = false;
    m_baudRateGroup->SetItemIndex(m_baudRate);
    m_portBox->setCurrentIndex(m_port >= 0 && m_port < m_portBox->count() ? m_port : -1);
    PortCBChange();
}

QString TCommDlg::OverrideOf(int port) const
{
    // The program's links resolve through the settings file unless the
    // command line pointed a port elsewhere for this run.
    if (port < 1 || port > kComPorts || !HasPortResolver())
        return {};
    const QString used = ResolvePortName(ComName(port));
    return used == PortDevicePath(ComName(port)) ? QString() : used;
}

void TCommDlg::PortCBChange()
{
    const int port = m_portBox->currentIndex();
    const bool isComPort = port >= 1 && port <= kComPorts;
    const QString override = OverrideOf(port);
    // An overridden port shows the device it uses; the saved one is kept.
    m_deviceBox->setEnabled(isComPort && override.isEmpty());
    m_deviceLabel->setEnabled(isComPort);
    m_showingDevice = true;
    m_deviceBox->setEditText(!override.isEmpty() ? override : isComPort ? m_chosenDevices[port - 1] : QString());
    m_showingDevice = false;
    m_overrideLabel->setVisible(!override.isEmpty());
    if (!override.isEmpty()) {
        const QString saved = m_chosenDevices[port - 1].isEmpty() ? DefaultPortName(ComName(port))
                                                                  : m_chosenDevices[port - 1];
        m_overrideLabel->setText(Tr("CommDlg", "OverrideLbl.Caption",
                                    "Override for this run (--port-map): %1 uses %2. "
                                    "The saved device, %3, applies again at the next start.")
                                     .arg(ComName(port), override, saved));
    }
    ShowMappings();
}

void TCommDlg::DeviceEdited(const QString& device)
{
    const int port = m_portBox->currentIndex();
    if (m_showingDevice || port < 1 || port > kComPorts)
        return;
    const int item = m_deviceBox->findText(device);
    m_chosenDevices[port - 1] = item >= 0 ? m_deviceBox->itemData(item).toString() : device.trimmed();
    ShowMappings();
}

QString TCommDlg::WithAlias(const QString& device) const
{
    const QString alias = m_alias(device);
    return alias.isEmpty() ? device : device + QStringLiteral("  (") + alias + QLatin1Char(')');
}

void TCommDlg::ShowMappings()
{
    QStringList lines;
    for (int n = 1; n <= kComPorts; ++n) {
        const QString& device = m_chosenDevices[n - 1];
        const QString override = OverrideOf(n);
        if (!override.isEmpty())
            lines << Tr("CommDlg", "MappingLbl.Override", "%1 = %2 (override for this run)").arg(ComName(n), WithAlias(override));
        else
            lines << ComName(n) + QStringLiteral(" = ") + WithAlias(device.isEmpty() ? DefaultPortName(ComName(n)) : device);
    }
    m_mappingLabel->setText(lines.join(u'\n'));
}

bool TCommDlg::SaveSettings()
{
    // A value the dialog could not show is kept as it was read.
    const int port = m_portBox->currentIndex() >= 0 ? m_portBox->currentIndex() : m_port;
    const int baudRate = m_baudRateGroup->ItemIndex() >= 0 ? m_baudRateGroup->ItemIndex() : m_baudRate;
    try {
        SettingsFile settings(AppPaths::SettingsPath());
        // The kept values follow what the file holds, also after a refused write.
        settings.WriteInteger(kCommSection, kPortKey, port);
        m_port = port;
        settings.WriteInteger(kCommSection, kBaudRateKey, baudRate);
        m_baudRate = baudRate;
        for (int n = 1; n <= kComPorts; ++n) {
            const QString& chosen = m_chosenDevices[n - 1];
            if (chosen == m_storedDevices[n - 1])
                continue;
            if (chosen.isEmpty())
                ClearPortDevicePath(ComName(n));
            else
                SetPortDevicePath(ComName(n), chosen);
            m_storedDevices[n - 1] = PortDevicePath(ComName(n));
        }
    } catch (const SettingsWriteError& error) {
        m_messages.Error(error.Message());
        return false;
    }
    return true;
}

bool TCommDlg::Run()
{
    LoadSettings();
    m_portBox->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    return SaveSettings();
}
