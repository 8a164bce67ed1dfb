#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

// The project's version, from the build.
inline const QString ProgramVersionText = QStringLiteral(TARVIK_VERSION);

// The about box: the program's name, version and maker.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout();

    QLabel *picIcon;
    QLabel *lblTitle(int i) const { return m_lblTitle.at(std::size_t(i)); } // 0..2
    QLabel *lblName(int i) const { return i == 1 ? m_lblName1 : nullptr; }
    QFrame *Line1(int i) const { return m_line.at(std::size_t(i)); }
    QPushButton *cmdOK;

private:
    std::array<QLabel *, 3> m_lblTitle{};
    QLabel *m_lblName1;
    std::array<QFrame *, 2> m_line{};
};
