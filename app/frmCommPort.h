#pragma once

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The port dialog: which serial port to use, COM1 or COM2. Beside each choice it shows the device
// the port stands for; its Device… button picks that device among the serial ports present.
class frmCommPort : public QDialog
{
    Q_OBJECT
public:
    frmCommPort();

    // Shows the dialog modally; on OK stores the choice in PortNumber. Returns false when the
    // dialog was closed by its frame (no choice made). The dialog is unloaded afterwards, so every
    // showing starts with COM1 selected.
    static bool CommPort();

    QLabel *Label1;
    QGroupBox *Frame1;
    QRadioButton *Option1(int index) const { return m_option.at(std::size_t(index)); }
    QLabel *Label2(int index) const { return m_label2.at(std::size_t(index)); }
    QPushButton *cmdOK;
    QLabel *lblDevice(int index) const { return m_device.at(std::size_t(index)); }
    QPushButton *cmdDevice;

    // Shows beside each choice the device it stands for now.
    void ShowDevices();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmdOK_Click();
    void cmdDevice_Click();

    std::array<QRadioButton *, 3> m_option{}; // 1 and 2 used
    std::array<QLabel *, 3> m_label2{};
    std::array<QLabel *, 3> m_device{};
    bool m_chosen = false;
};
