#pragma once

// Driving the calibration windows as a user would, against the in-process simulator: a module
// connected through the main window, and actions timed by what happens on the wire or in the
// window (pressed while a reply is awaited, or while the live loop waits between two readings).
//
// The windows are modal and their live loop runs inside their modal loop, so a test never blocks
// inside an answer: it arms actions and returns.

#include "adjust/AdjustWindow.h"
#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/TestSupport.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Commands of the module's transcript, oldest first.
inline QStringList CommandsOf(const SimModule &module)
{
    QStringList list;
    for (const SimExchange &e : module.transcript())
        list << QString::fromLatin1(e.command);
    return list;
}

// A module of the model, prepared by `setUp` before the program connects, connected through the
// main window (shown) with the port dialog answered; the transcript starts empty afterwards.
inline std::shared_ptr<SimModule> ConnectModule(const QString &model,
                                                const std::function<void(SimModule &)> &setUp = {})
{
    auto module = InstallSimModule(model);
    module->setDeterministic(true);
    if (setUp)
        setUp(*module);
    frmMain &main = Forms::get<frmMain>();
    main.show();
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
    if (!G.LinkUp || boxes.count() != 0)
        qWarning("connect failed: %s", qPrintable(boxes.prompts().join(QStringLiteral(" / "))));
    module->clearTranscript();
    return module;
}

// Runs `act` once, when the module takes `command` for the nth time from now; `act` runs while the
// program waits for the reply to it.
inline void OnCommand(SimModule &module, const QByteArray &command, int nth,
                      std::function<void()> act)
{
    auto seen = std::make_shared<int>(0);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(&module, &SimModule::exchanged, &module,
                                   [=, &module](const SimExchange &e) {
                                       if (e.command != command || ++*seen != nth)
                                           return;
                                       QObject::disconnect(*connection);
                                       QTimer::singleShot(0, &module, act);
                                   });
}

// Runs `act` once, as soon as the window's live loop waits between two readings.
inline void WhenWaiting(AdjustWindow &window, std::function<void()> act)
{
    auto *poll = new QTimer(&window);
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, &window, [poll, &window, act] {
        if (!window.Waiting())
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start();
}

// Wall-clock times at which the module took each command from now on.
struct CommandClock
{
    explicit CommandClock(SimModule &module)
    {
        clock.start();
        QObject::connect(&module, &SimModule::exchanged, &context, [this](const SimExchange &e) {
            at << qMakePair(e.command, clock.elapsed());
        });
    }
    // Time of the nth (from 1) command equal to `command`; -1 when there is none.
    qint64 time(const QByteArray &command, int nth = 1) const
    {
        int seen = 0;
        for (const auto &[c, ms] : at) {
            if (c == command && ++seen == nth)
                return ms;
        }
        return -1;
    }
    QElapsedTimer clock;
    QList<QPair<QByteArray, qint64>> at;
    QObject context; // the recording ends with the clock
};
