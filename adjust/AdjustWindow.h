#pragma once

// What the two calibration windows with a live reading (frmSetZeroSpan, frmSetComp) share: the
// live reading loop, the timed wait that keeps the window responsive, and the buttons' writes.
//
// One conversation with the module at a time. While the window is shown its live loop reads the
// channel, waits 500 ms, reads again; it holds a ModuleCommand for as long as it runs, so any
// other command is held back. The window's own buttons (OK, a compensation request) must still
// write, but never while a reading's exchange waits for its reply (the select of that reading
// and its data command belong together on the wire). So a button does not write itself: it hands
// its write to the window (Request) and sets AdjRequest.
//   - While the loop runs, the loop carries the write out between two readings: a press during
//     the wait ends the wait at once (AdjRequest), a press during a reading is carried out as
//     soon as that reading is done; the next reading follows the write at once.
//   - When the loop has ended (a reading failed), the press itself carries the write out under a
//     ModuleCommand of its own.
// Writes run one after the other in the order pressed; a press during a write waits its turn.
//
// Ended quietly (Disconnect, Exit, a lost port: ModuleCommand::Cancel), the loop and any write
// stop at once without a box and every calibration window closes; what was asked for runs when
// the loop's ModuleCommand ends, and no code of these windows runs after that.
//
// Exit ends the loop and closes the window once what is under way is done: the reading waiting
// for its reply and the writes pressed before Exit (presses after it are ignored). Until then the
// window stays on view and modal, so nothing else can start meanwhile. Closing the window by its
// frame or with Escape is its Exit.

#include <QDialog>

#include <functional>

class QShowEvent;
class QTimer;

class AdjustWindow : public QDialog
{
    Q_OBJECT
public:
    // The window's timer for WaitFor; its tick sets WaitElapsed and nothing else.
    QTimer *WaitForTimer;
    bool WaitElapsed = false;

    // Waits milisec milliseconds while the window stays responsive. Ends early when a button sets
    // AdjRequest (which it clears, leaving the timer running) or when the command is ended
    // quietly.
    void WaitFor(int milisec);

    // A WaitFor runs: the window waits between two readings (or before closing).
    bool Waiting() const { return m_waitDepth > 0; }

protected:
    explicit AdjustWindow(const QString &objectName);

    // The live loop, started by the window's activation; returns when it ends.
    void RunLiveLoop();
    // One pass of the live readings: false when a reading failed (the loop then ends).
    virtual bool ReadPass() = 0;
    // Hands a button's write to the window: carried out between two readings, at once when the
    // loop has ended.
    void Request(std::function<void()> write);
    // The Exit button's work: AdjLoopOn off, then, once nothing is under way, the window's own
    // step (ExitStep), a 100 ms wait and the close. Frame and Escape come here too.
    void Exit();
    virtual void ExitStep() {}

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void reject() override;
    // The activation: sets AdjLoopOn and runs the window's loop procedure.
    virtual void Form_Activate() = 0;

private:
    void drive();
    void driveWithCommand();
    void runRequests();
    void closeAfterExit();

    int m_waitDepth = 0;
    bool m_activationDue = false;
    bool m_exiting = false;
    bool m_live = false;    // the loop is to run: from activation until a reading fails
    bool m_driving = false; // the loop or a press is carrying out readings or writes
    QList<std::function<void()>> m_requests;
};

// Closes every calibration window without waiting and ends their loops (a quiet end of the
// command that talks to the module).
void EndAdjustmentQuietly();
