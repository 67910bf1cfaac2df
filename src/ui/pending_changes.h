#pragma once
// With ApplyNow 0, the changes the user makes wait in the current profile until they are
// written to the mouse (the window's Apply button). Before the program ends or another
// on-board profile is read over them, the user is asked (tc_apply_ask) whether to write them
// now: yes writes them; no, or no mouse to write to, leaves them in the local profile only.
class QWidget;

namespace zorvan {

class DevicePort;

void OfferPendingChanges(QWidget* parent, DevicePort& port);

}  // namespace zorvan
