#include "app/frmAbout.h"

#include "app/Resources.h"
#include "app/Twips.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

frmAbout::frmAbout()
{
    setObjectName(QStringLiteral("frmAbout"));
    SetTag(this, 1029);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    const QIcon icon = QApplication::windowIcon().isNull()
                           ? style()->standardIcon(QStyle::SP_ComputerIcon)
                           : QApplication::windowIcon();
    picIcon->setPixmap(icon.pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop);

    m_lblTitle[0] = new QLabel(AppTitleText, this);
    QFont title = m_lblTitle[0]->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    m_lblTitle[0]->setFont(title);
    m_lblTitle[1] = new QLabel(QStringLiteral("Version"), this);
    SetTag(m_lblTitle[1], 1024);
    m_lblTitle[2] = new QLabel(QStringLiteral("Company"), this);
    SetTag(m_lblTitle[2], 1022);
    for (int i = 0; i < 3; ++i)
        m_lblTitle[std::size_t(i)]->setObjectName(QStringLiteral("lblTitle_%1").arg(i));
    m_lblName1 = new QLabel(this);
    m_lblName1->setObjectName(QStringLiteral("lblName_1"));

    // A white and a grey line, one above the other: an etched separator.
    for (int i = 0; i < 2; ++i) {
        m_line[std::size_t(i)] = new QFrame(this);
        m_line[std::size_t(i)]->setObjectName(QStringLiteral("Line1_%1").arg(i));
        m_line[std::size_t(i)]->setFixedHeight(1);
        m_line[std::size_t(i)]->setAutoFillBackground(true);
        QPalette palette = m_line[std::size_t(i)]->palette();
        palette.setColor(QPalette::Window, i == 0 ? QColor(128, 128, 128) : QColor(255, 255, 255));
        m_line[std::size_t(i)]->setPalette(palette);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    SetTag(cmdOK, 1031);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picIcon, 0, 0, 3, 1);
    grid->addWidget(m_lblTitle[0], 0, 1, 1, 2);
    grid->addWidget(m_lblTitle[1], 1, 1);
    grid->addWidget(m_lblName1, 1, 2);
    grid->addWidget(m_lblTitle[2], 2, 1, 1, 2);
    grid->addWidget(m_line[0], 3, 0, 1, 3);
    grid->addWidget(m_line[1], 4, 0, 1, 3);
    grid->setVerticalSpacing(6);
    grid->addWidget(cmdOK, 5, 2, Qt::AlignRight);
    grid->setColumnStretch(2, 1);
    setMinimumWidth(TwipsToPixels(4800, this));

    // Load
    ApplyResCaptions(this);
    m_lblName1->setText(ProgramVersionText);
}
