#include "settings/SettingsParts.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <limits>

namespace {
constexpr const char *AcceptedProperty = "tarvikAcceptedText";
} // namespace

void PlaceFromMain(QWidget &window, int rightTwips, int downTwips)
{
    const frmMain &main = Forms::get<frmMain>();
    window.move(main.pos() +
                QPoint(TwipsToPixels(rightTwips, &main), TwipsToPixels(downTwips, &main)));
}

std::optional<qint64> CountValue(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

bool IsPresetText(const QString &text)
{
    return text.size() <= PresetDigits && CountValue(text).has_value();
}

bool CheckPositiveEntry(QLineEdit &box)
{
    const QString text = box.text();
    CheckPositive(text); // tells the user when it refuses
    if (IsPositiveEntry(text)) {
        box.setProperty(AcceptedProperty, text);
        return true;
    }
    const int caret = box.cursorPosition();
    QString repaired = text;
    int repairedCaret = caret - 1;
    if (caret > 0)
        repaired.remove(caret - 1, 1);
    if (caret <= 0 || !IsPositiveEntry(repaired)) {
        repaired = box.property(AcceptedProperty).toString();
        repairedCaret = std::clamp(caret - 1, 0, int(repaired.size()));
    }
    box.setText(repaired);
    box.setCursorPosition(repairedCaret);
    return false;
}

void AcceptEntry(QLineEdit &box)
{
    box.setProperty(AcceptedProperty, IsPositiveEntry(box.text()) ? box.text() : QString());
}

bool LinkReady()
{
    if (G.LinkUp)
        return true;
    G.CommForm = &Forms::get<frmMain>();
    CommOpen();
    return G.LinkUp;
}

bool WriteEchoed(int16_t item, const QString &value, const QString &echo)
{
    QString reply;
    return ParameterWrite(item, value, reply) && reply == echo;
}

// ---- SettingsWindow ----

SettingsWindow::SettingsWindow(const QString &objectName)
{
    setObjectName(objectName);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
}

SettingsWindow::Talk::Talk(SettingsWindow &window) : m_window(window)
{
    ++m_window.m_talking;
    if (m_window.m_exit) {
        m_exitWasEnabled = m_window.m_exit->isEnabled();
        m_window.m_exit->setEnabled(false);
    }
}

SettingsWindow::Talk::~Talk()
{
    --m_window.m_talking;
    if (m_window.m_exit)
        m_window.m_exit->setEnabled(m_exitWasEnabled);
}

void SettingsWindow::reject()
{
    // Closing the window under a running command would leave the command talking for a window
    // that is gone; the command ends first.
    if (talking())
        return;
    Exit();
}

void SettingsWindow::Exit()
{
    closeWindow();
}

void SettingsWindow::closeWindow()
{
    QDialog::done(QDialog::Rejected);
}

void ShowAndUnload(SettingsWindow &window, bool ready)
{
    QPointer<SettingsWindow> guard(&window);
    if (ready)
        ShowModal(window);
    // Exit of the program unloads every window, this one included, while it is shown.
    if (guard)
        Forms::unload(guard.data());
}
