#include "app/frmDialog.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "model/Globals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

frmDialog::frmDialog()
{
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("DOWNLOAD"));
    // Closing by the frame answers as Cancel would.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    Image1->setAlignment(Qt::AlignTop);

    lblMsg = new QLabel(QStringLiteral("lblMsg"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setWordWrap(true);
    lblMsg->setMinimumWidth(260);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(OKButton, &QPushButton::clicked, this, &frmDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDialog::CancelButton_Click);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Image1, 0, 0);
    grid->addWidget(lblMsg, 0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    grid->addLayout(buttons, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}

void frmDialog::OKButton_Click()
{
    G.DialogOk = true;
    accept();
}

void frmDialog::CancelButton_Click()
{
    G.DialogOk = false;
    reject();
}

void frmDialog::Dialog(const QString &message)
{
    auto &dialog = Forms::get<frmDialog>();
    dialog.lblMsg->setText(message);
    // Until a button answers, the answer is no: a dialog closed by its frame downloads nothing.
    G.DialogOk = false;
    ShowModal(dialog);
    Forms::unload<frmDialog>();
}
