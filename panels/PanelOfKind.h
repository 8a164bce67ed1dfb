#pragma once

// The monitor panel that belongs to a model kind.

class AnalogPanel;

// The analog panel of kind 1 (UT5), 2 (K6) or 6 (UT8), loaded when it is not; nullptr for the
// other kinds.
AnalogPanel *AnalogPanelOfKind(int kind);

// Calls the public procedure of the kind's panel (Ut5, K6, E4, F9, L7, Ut8), which shows it with
// the command states of its kind; nothing for a kind without a panel.
void ShowPanelOfKind(int kind);
