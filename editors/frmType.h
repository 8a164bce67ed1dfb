#pragma once

// The input type editor: channel by channel, the input type of the analog kinds (UT5, K6, UT8)
// and, for thermocouples, the channel's cold-junction switch. It edits the configuration and the
// type and switch columns of the kind's panel together, and writes the shown channel to the module
// on Download.

#include "editors/EditorWindow.h"

#include <QStringList>

#include <array>
#include <cstdint>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmType : public EditorWindow
{
    Q_OBJECT
public:
    frmType();

    // Fills the editor for CurModelKind and SelChannel and shows it modally; returns when it closes.
    static void TypeSet();

    // Enables the switch options and "CJC SW" as the shown type allows, and Download when the
    // link is up. The argument is not used.
    void OpeDisable(int16_t Index = 0);

    QComboBox *cboChannel;
    QComboBox *cboType;
    QGroupBox *Frame1;
    QRadioButton *optCjmSw(int k) const { return m_optCjmSw.at(std::size_t(k)); } // 0 OFF, 1 ON
    QLabel *Label1, *Label2, *Label4, *Label5;
    QPushButton *cmdPrev, *cmdNext, *cmdCopy, *cmdPaste, *cmdDownload, *cmdExit;
    QFrame *Frame2, *Frame3;

    // ---- user steps ----
    void cboChannel_Click();
    void cboType_Click();
    void optCjmSw_Click(int k);
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdDownload_Click();
    void cmdExit_Click();

private:
    void fill();
    int kind() const { return m_kind; }
    int channelCount() const;
    int shownChannel() const;
    // Position of a name in the kind's table; one past the last entry when it is not there.
    int position(const QString &name) const;
    bool isThermocouple(int pos) const;
    QLabel *typeCaption(int ch) const;
    QLabel *switchCaption(int ch) const; // nullptr on K6
    void showChannel(int ch);
    void selectCjmSw(int k);
    void setSwitchControlsEnabled(bool enabled);
    bool download(int ch);

    int m_kind = 0;
    QStringList m_names; // the kind's type table
    std::array<QRadioButton *, 2> m_optCjmSw{};
};
