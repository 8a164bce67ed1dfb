#pragma once

// The connection component: connecting, disconnecting and the monitoring cycle. It has no window
// of its own; it works on the main window, the panels and the program-wide variables.
namespace frmLoading {

// Puts the main window's commands back to their state after monitoring (also after a failed
// opening of the link) and consumes a pending time-out.
void Stopping();

} // namespace frmLoading
