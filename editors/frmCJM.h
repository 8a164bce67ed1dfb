#pragma once

// The cold-junction sensor settings of the UT5 kind: a reference temperature (item 23, degC) and
// voltage (item 24, V). Read from the module when the window opens and on Upload; checked against
// fixed limits (both excluded) and written on Download, which also keeps them in CjmTemp and
// CjmVolt.

#include "editors/EditorWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class frmCJM : public EditorWindow
{
    Q_OBJECT
public:
    frmCJM();

    // Reads both values and, when both reads succeed, shows the window modally; returns when it
    // closes or when a read fails.
    static void CJM();

    QLabel *Label1, *Label2, *Label3;
    QLineEdit *Text1, *Text2;
    QLabel *lblUnit1, *lblUnit2;
    QLabel *lblTempMin, *lblTempMax, *lblVolMin, *lblVolMax;
    QLabel *Label5, *Label6, *Label4, *Label7;
    QPushButton *cmdUp, *cmdDown, *cmdExit;

    void cmdUp_Click();
    void cmdDown_Click();
    void cmdExit_Click();

private:
    // Items 23 and 24 into Text1 and Text2 over the present link; false at the first failure.
    bool readValues();
    // The range checks, with their messages; true when both values may be written.
    bool checkValues();
    bool download();
};
