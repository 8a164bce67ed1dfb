#pragma once

#include <functional>

// What is read from a module of each kind, where each reply is stored and how it is shown: once
// at connect time (ReadConfiguration) and on every pass of the monitoring loop (MonitorSweep).
// The first read that fails ends the sequence; what was read before it stays.

// Reads the configuration of a module of the kind into the program-wide variables and the panel
// of the kind. Kinds 3 and 4 first empty row 6 of the identity table; kind 4 also decides whether
// the count presets button is offered (modelIndex: the catalogue entry of the module).
//
// For the whole upload (`forUpload`), the E4 output buttons and the F9 count presets button are
// left as they are. `progress` is told each channel before it is read.
bool ReadConfiguration(int kind, int modelIndex = 0, bool forUpload = false,
                       const std::function<void(int channel, int channels)> &progress = {});

// One pass of live values for the kind. Before the reads of each channel the waiting window events
// run and the loop honours a hold and a pending output.
bool MonitorSweep(int kind);
