#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The confirmation asked before every download to the module.
class frmDialog : public QDialog
{
    Q_OBJECT
public:
    frmDialog();

    // Shows the message modally; the answer is left in DialogOk. The dialog is unloaded afterwards.
    static void Dialog(const QString &message);

    QLabel *lblMsg;
    QLabel *Image1;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    void OKButton_Click();
    void CancelButton_Click();
};
