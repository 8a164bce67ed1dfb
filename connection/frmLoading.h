#pragma once

#include <QString>

// The connection component: connecting, disconnecting and the monitoring cycle. It has no window
// of its own; it works on the main window, the panels and the program-wide variables.
namespace frmLoading {

// Opens the link, reads the module's identity, identifies the model, reads its options, shows the
// panel of its kind and reads its configuration. Failures are told to the user; what was read
// before a failure stays.
void Connecting();

// Closes the link and puts the commands back to their disconnected state. The panel on view and
// the configuration stay.
void DisConnecting();

// The monitoring cycle: the commands' monitoring state, the polling loop, and the state after it.
void Starting();
void Monitoring();
void Stopping();

// The step before each channel of a sweep: switches a pending output and holds while asked to.
void MonitorPause();

// Stop asked for while Start still opens the link: the loop will not run.
void RequestStop();
// A Start command is between Starting and Stopping.
bool StartRunning();

// The port went away: the commands go to their disconnected state; the panel and the
// configuration stay.
void LinkLost();

// Reads identity row 1 to 6 (model name, hardware and firmware version, serial number,
// manufacture and calibration date) into the main window's identity table; false when the read
// fails.
bool ReadIdentityRow(int row);

// The number in a version text: what follows its last "V", or the whole text when it has none
// ("V2.10" gives 2.1, "3.00" gives 3). A text without a number there gives 0.
double VersionNumber(const QString &text);

} // namespace frmLoading
