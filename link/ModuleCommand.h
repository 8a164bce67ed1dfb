#pragma once

// One conversation with the module at a time.
//
// Every wait for the module runs window events, so a click can start a second command while the
// first still waits for a reply. Each command that talks to the module (connect, monitoring, an
// editor's read or download, a whole transfer, an adjustment, a settings read) holds a
// ModuleCommand for as long as it talks: while one is held, another command is held back and the
// user is told that the module is busy.
//
//     void frmSomething::cmdDownload_Click()
//     {
//         ModuleCommand command;
//         if (!command)
//             return; // another command is talking to the module
//         ... ParameterWrite(...) ...
//     }
//
// Hold it around the talking only, not around a modal window whose own buttons talk.
//
// A running command can be ended quietly (Disconnect, Exit, a lost port): its waits end at once,
// its transactions fail, no further box is shown, and the action asked for runs once the
// outermost command has returned.

#include <QString>

#include <functional>

class ModuleCommand
{
public:
    ModuleCommand();
    ~ModuleCommand();
    ModuleCommand(const ModuleCommand &) = delete;
    ModuleCommand &operator=(const ModuleCommand &) = delete;

    // True when this command may talk to the module; false when another one runs.
    explicit operator bool() const { return m_started; }

    // A command that talks to the module is running.
    static bool Running();

    // Ends the running command quietly and runs `then` once it has returned (at once when none
    // runs). Several requests run in the order made.
    static void Cancel(std::function<void()> then);

    // The running command is being ended quietly.
    static bool Cancelled();

    // The text the user sees when a command is held back.
    static QString BusyText();

private:
    bool m_started = false;
};
