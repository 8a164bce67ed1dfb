#pragma once

// What the settings window tests share: a module connected through the main window as the user
// connects it, the commands the module received, and an action at a chosen exchange.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// A simulated module of the model, connected with Connect (port dialog answered with COM1); the
// transcript is cleared afterwards. UT8 modules report the option code given.
inline std::shared_ptr<SimModule> ConnectSimModule(const QString &model, int optionCode = 48)
{
    auto module = InstallSimModule(model);
    module->setDeterministic(true);
    module->setOptionCode(optionCode);
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuConnConn->trigger();
    if (!boxes.boxes().isEmpty() || !G.LinkUp)
        qWarning("connect failed: %s", qPrintable(boxes.prompts().join(QStringLiteral(" / "))));
    module->clearTranscript();
    return module;
}

// The commands the module received, joined with spaces: "I81 D2 I83 D1".
inline QString Wire(const SimModule &module)
{
    return module.commandsText();
}

// Answers the confirmation dialog with OK (true) or Cancel.
inline void AnswerConfirmation(ModalAnswerer &answers, bool ok = true, QString *message = nullptr)
{
    answers.expect<frmDialog>([ok, message](frmDialog &dialog) {
        if (message)
            *message = dialog.lblMsg->text();
        (ok ? dialog.OKButton : dialog.CancelButton)->click();
    });
}

// Calls `act` once, while the program waits for the reply to the n-th command from now.
inline void AtExchange(SimModule &module, int n, std::function<void()> act)
{
    auto seen = std::make_shared<int>(0);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(&module, &SimModule::exchanged, &module,
                                   [seen, n, act, connection, &module] {
        if (++*seen != n)
            return;
        QObject::disconnect(*connection);
        QTimer::singleShot(0, &module, act);
    });
}

// The prompts and titles of the boxes, "title: prompt", for whole-list comparisons.
inline QStringList Told(const MsgRecorder &boxes)
{
    QStringList list;
    for (const MsgRecord &box : boxes.boxes())
        list << box.title + QStringLiteral(": ") + box.prompt;
    return list;
}
