#pragma once

// Every modal window of the program is run through ShowModal().

#include <functional>

class QDialog;

// Shows the window modally and returns its result when it closes.
int ShowModal(QDialog &window);

// Test seam: when set, the hook is called with the window once its modal loop runs, so a test can
// act on the real controls (choose, press OK) while the window's own handlers do the work.
using ModalHook = std::function<void(QDialog &)>;
void SetModalHook(ModalHook hook);
