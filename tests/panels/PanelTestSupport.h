#pragma once

// What the panel tests share: the main window's commands that panels switch, by a short name, so
// that a test row can list the commands a panel leaves enabled.

#include "app/frmMain.h"

#include <QAction>
#include <QStringList>

#include <vector>

struct PanelCommand
{
    const char *name;
    std::vector<QAction *> actions; // switched together
};

inline std::vector<PanelCommand> PanelCommands(const frmMain &main)
{
    return {
        {"cjm", {main.mnuConfigCJM}},
        {"count", {main.mnuConfigCount}},
        {"adjust", {main.mnuAdjustment}},
        {"zero", {main.mnuAdjZeroSpan}},
        {"comp", {main.mnuAdjComp}},
        {"modbus", {main.mnuConfigModBus}},
        {"filter", {main.mnuConfigFilter}},
        {"noise", {main.mnuConfigLineNoise}},
        {"burnout", {main.mnuConfigBurnout}},
        {"alarm", {main.mnuAlarm}},
        {"save",
         {main.mnuFileSave, main.mnuFileSaveAs, main.button(QStringLiteral("Save")),
          main.button(QStringLiteral("SaveAs"))}},
        {"updown", {main.mnuConfigUpload, main.mnuConfigDownload}},
    };
}

// Puts every command a panel may switch into one state.
inline void SetAllPanelCommands(const frmMain &main, bool enabled)
{
    for (const PanelCommand &command : PanelCommands(main)) {
        for (QAction *action : command.actions)
            action->setEnabled(enabled);
    }
}

// The commands found enabled, by name; a command whose actions disagree is reported as "name?".
inline QStringList EnabledPanelCommands(const frmMain &main)
{
    QStringList names;
    for (const PanelCommand &command : PanelCommands(main)) {
        int on = 0;
        for (QAction *action : command.actions)
            on += action->isEnabled() ? 1 : 0;
        if (on == int(command.actions.size()))
            names << QLatin1String(command.name);
        else if (on > 0)
            names << QLatin1String(command.name) + QLatin1Char('?');
    }
    return names;
}
