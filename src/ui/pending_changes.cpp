#include "ui/pending_changes.h"

#include "app/log.h"
#include "text/language_texts.h"
#include "ui/device_port.h"
#include "ui/pages/msg_dlg.h"

namespace zorvan {

void OfferPendingChanges(QWidget* parent, DevicePort& port)
{
    if (!port.ChangesPending())
        return;
    if (port.Connected() && CMsgDlg::Confirm(parent, GetText("tc_apply_ask"))) {
        port.WritePending();
        return;
    }
    Log("The changes kept stay in the local profile");
    port.DropPending();
}

}  // namespace zorvan
