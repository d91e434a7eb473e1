#pragma once

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>

class IMessageBox;
class QComboBox;
class QLabel;
class TRadioGroup;

// "Communication setting": the port (None, COM1 to COM4) and the line speed,
// kept in section [Comm] of the settings file. It also shows which serial
// device each COMn stands for and lets the operator map the chosen COMn to
// one of the devices present, or to a path typed in (section [Ports]).
class TCommDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kComPorts = 4;
    using DeviceLister = std::function<QStringList()>;
    using DeviceAlias = std::function<QString(const QString& path)>;

    // `listDevices` offers the devices to map to (those present on this
    // machine unless a test gives others); `alias` names the other name shown
    // beside each device (its /dev/serial/by-id name, or the kernel name of a
    // by-id path).
    explicit TCommDlg(IMessageBox& messages, QWidget* parent = nullptr, DeviceLister listDevices = {},
                      DeviceAlias alias = {});

    // Reads Port (default 2) and BaudRate (default 0) from the settings file
    // and shows the dialog modally. On OK writes Port, then BaudRate, then any
    // changed device mapping (an emptied device field removes the port's
    // line from [Ports]), and returns true. Port() and BaudRate() are the
    // program's current settings afterwards: the chosen values after OK, the
    // values read from the file otherwise.
    bool Run();

    int Port() const { return m_port; }
    int BaudRate() const { return m_baudRate; }

    // The two halves of Run, without the modal loop.
    void LoadSettings();
    // False (after telling the operator) when the settings file refused a write.
    bool SaveSettings();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PortCBChange();
    void DeviceEdited(const QString& device);
    void ShowMappings();
    QString WithAlias(const QString& device) const;
    // The device a --port-map option points COMn at for this run, when it
    // differs from the settings file's; empty otherwise.
    QString OverrideOf(int port) const;

    IMessageBox& m_messages;
    DeviceLister m_listDevices;
    DeviceAlias m_alias;
    int m_port = 2;
    int m_baudRate = 0;
    // Per COMn: the device the settings file names now, and the one chosen here.
    std::array<QString, kComPorts> m_storedDevices;
    std::array<QString, kComPorts> m_chosenDevices;
    bool m_showingDevice = false;

    TRadioGroup* m_baudRateGroup;
    QComboBox* m_portBox;
    QComboBox* m_deviceBox;
    QLabel* m_deviceLabel;
    QLabel* m_mappingLabel;
    QLabel* m_overrideLabel;
};
