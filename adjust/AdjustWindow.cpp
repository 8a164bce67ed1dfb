#include "adjust/AdjustWindow.h"

#include "adjust/frmSetComp.h"
#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Forms.h"
#include "link/ModuleCommand.h"
#include "model/Globals.h"

#include <QCoreApplication>
#include <QPointer>
#include <QShowEvent>
#include <QTimer>

namespace {
constexpr int LivePeriodMs = 500;
}

AdjustWindow::AdjustWindow(const QString &objectName)
{
    setObjectName(objectName);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    WaitForTimer = new QTimer(this);
    WaitForTimer->setObjectName(QStringLiteral("WaitForTimer"));
    WaitForTimer->setTimerType(Qt::PreciseTimer);
    connect(WaitForTimer, &QTimer::timeout, this, [this] { WaitElapsed = true; });
}

void AdjustWindow::WaitFor(int milisec)
{
    WaitElapsed = false;
    WaitForTimer->setInterval(milisec);
    WaitForTimer->start();
    ++m_waitDepth;
    for (;;) {
        if (G.AdjRequest) {
            G.AdjRequest = false;
            break; // the timer runs on; its tick only sets WaitElapsed
        }
        if (ModuleCommand::Cancelled() || WaitElapsed) {
            WaitForTimer->stop();
            break;
        }
        // Sleeps until the next event; the timer is armed, so the sleep ends.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    --m_waitDepth;
}

void AdjustWindow::RunLiveLoop()
{
    // A press left over from before the window opened ends no wait of this one.
    G.AdjRequest = false;
    m_live = true;
    drive();
}

void AdjustWindow::Request(std::function<void()> write)
{
    if (m_exiting)
        return;
    G.AdjRequest = true;
    m_requests.append(std::move(write));
    drive();
}

void AdjustWindow::drive()
{
    if (m_driving)
        return; // the loop, or the press before, carries it out
    ModuleCommand command;
    if (!command) {
        m_live = false;
        m_requests.clear();
        return;
    }
    driveWithCommand();
    // Ending the command runs what a quiet end asked for, which may unload this window: nothing
    // of it is touched from here on.
}

void AdjustWindow::driveWithCommand()
{
    m_driving = true;
    for (;;) {
        QCoreApplication::processEvents();
        runRequests();
        if (ModuleCommand::Cancelled() || !m_live || !G.AdjLoopOn)
            break;
        if (!ReadPass()) {
            m_live = false; // silently; the presses made during the reading still go out
            continue;
        }
        WaitFor(LivePeriodMs);
    }
    m_live = false;
    m_driving = false;
    if (ModuleCommand::Cancelled())
        EndAdjustmentQuietly();
    else if (m_exiting && isVisible())
        closeAfterExit(); // Exit came while a reading or a write was under way
}

void AdjustWindow::runRequests()
{
    while (!m_requests.isEmpty()) {
        if (ModuleCommand::Cancelled()) {
            m_requests.clear();
            return;
        }
        const std::function<void()> write = m_requests.takeFirst();
        write();
    }
}

void AdjustWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || m_activationDue)
        return;
    m_exiting = false;
    // Activated once the window is on view and its modal loop runs.
    m_activationDue = true;
    QTimer::singleShot(0, this, [this] {
        if (!m_activationDue || !isVisible() || m_exiting)
            return;
        m_activationDue = false;
        Form_Activate();
    });
}

void AdjustWindow::hideEvent(QHideEvent *event)
{
    m_activationDue = false;
    QDialog::hideEvent(event);
}

void AdjustWindow::Exit()
{
    if (m_exiting)
        return;
    m_exiting = true;
    G.AdjLoopOn = false;
    if (m_driving) {
        G.AdjRequest = true; // a wait ends at once; the loop closes the window as it ends
        return;
    }
    closeAfterExit();
}

void AdjustWindow::closeAfterExit()
{
    ExitStep();
    QPointer<AdjustWindow> self(this);
    WaitFor(100);
    if (self)
        done(QDialog::Accepted);
}

void AdjustWindow::reject()
{
    Exit();
}

void EndAdjustmentQuietly()
{
    G.AdjLoopOn = false;
    QDialog *windows[] = {Forms::ifLoaded<frmSetZeroSpan>(), Forms::ifLoaded<frmSetComp>(),
                          Forms::ifLoaded<frmZeroSpan>()};
    for (QDialog *window : windows) {
        if (window && window->isVisible())
            window->done(QDialog::Rejected);
    }
}
