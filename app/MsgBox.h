#pragma once

// Every message box of the program goes through MsgBox(). All boxes have an OK button only.

#include <QString>

#include <functional>

enum class MsgIcon { None, Critical, Exclamation, Information };

inline const QString AppTitle = QStringLiteral("TARVIK");

struct MsgRecord
{
    QString prompt; // exactly as the program built it, line breaks included
    MsgIcon icon = MsgIcon::None;
    QString title; // AppTitle when the caller gave none
};

// Shows a modal box and returns when the user has pressed OK.
void MsgBox(const QString &prompt, MsgIcon icon = MsgIcon::None, const QString &title = {});

// Test seam: while a hook is set, boxes are handed to it instead of being shown.
using MsgBoxHook = std::function<void(const MsgRecord &)>;
void SetMsgBoxHook(MsgBoxHook hook);
