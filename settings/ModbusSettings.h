#pragma once

// The module's own Modbus RTU settings: baud rate, parity, stop bits and floating-point format
// (and on the UT8 kind the node address), read from and written to the module, and the restart
// that puts new settings into effect. Two windows of one layout: frmModSet for every kind but
// UT8 (settings array ModbusSet, the address shown only), frmModSetUt8 for the UT8 kind
// (ModbusSetUt8, the address editable when the module allows it, one more baud rate).

#include "settings/SettingsParts.h"

#include <QTimer>

#include <array>
#include <optional>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class ModbusWindow : public SettingsWindow
{
    Q_OBJECT
public:
    static constexpr int Lists = 5;

    // Prepares the window (link, node address, selections) and shows it modally; returns when it
    // closes, or at once when preparing fails. The window is unloaded afterwards.
    void ModSet();

    // Waits the given time with the window responsive (and every other command held back).
    void WaitFor(int milisec);

    QLabel *lblTitle(int i) const { return m_lblTitle.at(std::size_t(i)); } // 0..6
    QComboBox *cboData(int i) const { return m_cboData.at(std::size_t(i)); } // 0..4
    QPushButton *cmdUpload;
    QPushButton *cmdDnload;
    QPushButton *cmdVQ7Res;
    QPushButton *cmdExit;
    QTimer WaitForTimer;
    bool WaitElapsed = false;

    void cmdUpload_Click();
    void cmdDnload_Click();
    void cmdVQ7Res_Click();
    void cmdExit_Click();

protected:
    ModbusWindow(const QString &objectName, bool ut8);

    // The settings array of the window.
    virtual std::array<int16_t, Lists> &settings() const = 0;
    // Shows the node address read at opening.
    virtual void showAddress(const QString &reply) = 0;
    // The address to write before the settings, when the window writes one; false with the user
    // told when the entry is not an address.
    virtual bool addressToWrite(std::optional<int> &address) const = 0;
    // Enables or disables the address entry (enabled only where the module takes an address).
    virtual void setAddressEnabled(bool enabled) = 0;

    void Exit() override { cmdExit_Click(); }

    // Lays the window out around the node address field of the variant.
    void build(QWidget *addressField);

private:
    bool prepare();
    void selectSettings();
    bool downloadBarred() const;
    void setControlsEnabled(bool enabled);
    bool writeSetting(int16_t item, int value);
    void downloadFailed();
    void uploadFailed();
    void restartFailed();

    bool m_ut8;
    std::array<QLabel *, 7> m_lblTitle{};
    std::array<QComboBox *, Lists> m_cboData{};
};

class frmModSet : public ModbusWindow
{
    Q_OBJECT
public:
    frmModSet();

    QLabel *lblAddress;

protected:
    std::array<int16_t, Lists> &settings() const override;
    void showAddress(const QString &reply) override;
    bool addressToWrite(std::optional<int> &address) const override;
    void setAddressEnabled(bool) override {}
};

class frmModSetUt8 : public ModbusWindow
{
    Q_OBJECT
public:
    frmModSetUt8();

    QLineEdit *txtAddress;
    void txtAddress_Change();

protected:
    std::array<int16_t, Lists> &settings() const override;
    void showAddress(const QString &reply) override;
    bool addressToWrite(std::optional<int> &address) const override;
    void setAddressEnabled(bool enabled) override;

private:
    bool m_filling = false;
};
