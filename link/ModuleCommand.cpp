#include "link/ModuleCommand.h"

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "model/Globals.h"

#include <QList>

namespace {

struct CommandState
{
    int depth = 0; // commands started and not yet ended; only the outermost counts
    bool cancelled = false;
    QList<std::function<void()>> afterwards;
};

CommandState &state()
{
    static CommandState s;
    return s;
}

void runAfterwards()
{
    CommandState &s = state();
    s.cancelled = false;
    while (!s.afterwards.isEmpty())
        s.afterwards.takeFirst()();
}

} // namespace

ModuleCommand::ModuleCommand()
{
    CommandState &s = state();
    if (s.depth > 0) {
        if (frmMain *main = Forms::ifLoaded<frmMain>())
            main->ShowNotice(BusyText());
        return;
    }
    ++s.depth;
    m_started = true;
}

ModuleCommand::~ModuleCommand()
{
    if (!m_started)
        return;
    if (--state().depth == 0)
        runAfterwards();
}

bool ModuleCommand::Running()
{
    return state().depth > 0;
}

void ModuleCommand::Cancel(std::function<void()> then)
{
    CommandState &s = state();
    if (s.depth == 0) {
        if (then)
            then();
        return;
    }
    s.cancelled = true;
    // A monitoring loop ends at its next step, a held one at once.
    G.MonitorOn = false;
    G.MonitorHold = false;
    if (then)
        s.afterwards.append(std::move(then));
}

bool ModuleCommand::Cancelled()
{
    return state().cancelled;
}

QString ModuleCommand::BusyText()
{
    return LoadResString(4500);
}
