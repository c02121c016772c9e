#pragma once

class QWidget;

// Shows a top-level window modally to the whole program and returns once it
// has been hidden or destroyed; the windows behind it stay visible and take
// no input meanwhile.
void ShowModal(QWidget& window);
