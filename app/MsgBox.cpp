#include "app/MsgBox.h"

#include "link/ModuleCommand.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MsgBoxHook &hookSlot()
{
    static MsgBoxHook hook;
    return hook;
}

QMessageBox::Icon toQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void SetMsgBoxHook(MsgBoxHook hook)
{
    hookSlot() = std::move(hook);
}

void MsgBox(const QString &prompt, MsgIcon icon, const QString &title)
{
    // A command being ended on purpose (Disconnect, Exit, a lost port) ends without more boxes.
    if (ModuleCommand::Cancelled())
        return;
    const MsgRecord record{prompt, icon, title.isEmpty() ? AppTitle : title};
    if (hookSlot()) {
        hookSlot()(record);
        return;
    }
    // Prompts may carry reply bytes from the module: show them as plain text, never as markup.
    QString shown = record.prompt;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(toQtIcon(icon), record.title, shown, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
