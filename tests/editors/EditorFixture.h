#pragma once

// What the editor tests share: the main window connected to a simulated module (or a model chosen
// offline), the confirmation answered, an editor window answered with the test's own steps, and
// the commands that went over the wire.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/PanelOfKind.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include <functional>
#include <memory>

// A simulated module of the model, installed for every port opened from now on. optionCode: the
// UT8 module options (16 the settings, 32 the node address).
inline std::shared_ptr<SimModule> InstallSim(const QString &model, int optionCode = 48)
{
    auto module = InstallSimModule(model);
    module->setDeterministic(true);
    module->setOptionCode(optionCode);
    return module;
}

// Connect through the main window as a user would; the transcript is cleared afterwards. LinkUp
// tells whether it worked.
inline void Connect(SimModule &module)
{
    frmMain &main = Forms::get<frmMain>();
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
    module.clearTranscript();
}

inline std::shared_ptr<SimModule> ConnectTo(const QString &model, int optionCode = 48)
{
    auto module = InstallSim(model, optionCode);
    Connect(*module);
    return module;
}

// A model chosen from the Model menu without a module (entry 1 UT5, 2 K6, 3 UT8).
inline void ChooseOffline(int entry)
{
    Forms::get<frmMain>().mnuModelModel(entry)->trigger();
}

inline AnalogPanel &PanelOf(int kind)
{
    return *AnalogPanelOfKind(kind);
}

// Commands of the transcript, in order, without their CR.
inline QStringList Commands(const SimModule &module)
{
    QStringList list;
    for (const SimExchange &e : module.transcript())
        list << QString::fromLatin1(e.command);
    return list;
}

// The next confirmation dialog answered with OK (true) or Cancel; its text kept in *text.
inline void Confirm(ModalAnswerer &answers, bool ok, QString *text = nullptr)
{
    answers.expect<frmDialog>([ok, text](frmDialog &dialog) {
        if (text)
            *text = dialog.lblMsg->text();
        (ok ? dialog.OKButton : dialog.CancelButton)->click();
    });
}

// The next modal window, of type W, answered by the test's steps; closed afterwards when the steps
// left it open. `open` tells whether it was still open after the steps.
template <typename W>
void WithWindow(ModalAnswerer &answers, std::function<void(W &)> steps, bool *open = nullptr)
{
    answers.expect<W>([steps, open](W &window) {
        steps(window);
        if (open)
            *open = window.isVisible();
        if (window.isVisible())
            window.close();
    });
}

// Title, icon and text of each box, one line each: compact for whole-sequence comparisons.
inline QStringList Boxes(const MsgRecorder &recorder)
{
    static const char *icons[] = {"none", "critical", "exclamation", "information"};
    QStringList list;
    for (const MsgRecord &r : recorder.boxes())
        list << QStringLiteral("%1 | %2 | %3").arg(r.title, QLatin1String(icons[int(r.icon)]), r.prompt);
    return list;
}
