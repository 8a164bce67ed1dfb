#pragma once

// What the channel configuration editors share: a modal window that sits below the main window's
// top-left corner, the command of a button that talks to the module, and the checks of typed text.

#include "link/ModuleCommand.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QFrame;
class QLabel;
class QPushButton;

class EditorWindow : public QDialog
{
    Q_OBJECT
public:
    // True while a command of this window talks to the module; the window then takes no input.
    bool Talking() const { return m_talking > 0; }

protected:
    // titleResource: the string resource that names the window in the user's language.
    EditorWindow(const QString &objectName, int titleResource);

    // Left edge 90 twips right of the main window's left edge, top 1800 twips below its top.
    void PlaceOnMain();

    // A button of the window (never the default button: Return does not start a download).
    QPushButton *AddButton(const char *name, const char *caption, QWidget *parent = nullptr);
    // A caption; tag 0 keeps the design text, another number is the resource that replaces it.
    QLabel *AddLabel(const char *name, const char *caption, int tag = 0, QWidget *parent = nullptr);
    // The layout of the one-setting windows: the frame Frame3 with its heading and the setting's
    // controls beside it, and the two buttons beneath.
    QFrame *LayOutSetting(QLabel *heading, QWidget *control, QWidget *unit, QPushButton *download,
                          QPushButton *exit);

private:
    friend class EditorCommand;
    int m_talking = 0;
};

// A button's command that talks to the module. It holds the one conversation with the module
// (held back, with the busy notice, while another command runs) and, while alive, keeps its
// window from taking clicks and keys and from closing, so that neither the shown channel nor the
// values being written change under it.
//
//     EditorCommand command(*this);
//     if (!command)
//         return;
class EditorCommand
{
public:
    explicit EditorCommand(EditorWindow &window);
    ~EditorCommand();
    EditorCommand(const EditorCommand &) = delete;
    EditorCommand &operator=(const EditorCommand &) = delete;

    explicit operator bool() const { return bool(m_command); }

private:
    ModuleCommand m_command;
    QPointer<EditorWindow> m_window;
    std::unique_ptr<QObject> m_inputBlock;
};

// True when no command talks to the module now. An editor is not opened while one does: its modal
// window would hold that command's wait until it closes. The user gets the busy notice.
bool ModuleFree();

// CommForm set to the main window, then CommOpen; true when the module answered.
bool OpenLink();

// Text the module and the configuration file can both take: printable ASCII without a double
// quote (the file keeps texts in double quotes).
bool IsModuleText(const QString &text);

// Tells the user that a field holds text the module cannot take; nothing is stored or sent.
void RefuseFieldText(const QString &field, const QString &text);

// The value of a text as the editors read typed numbers: the first "," taken as ".", then the
// leading decimal number, 0 when there is none.
double TextValue(const QString &text);

// A number with one decimal ("#0.0"), "." as decimal point.
QString OneDecimalText(double value);
