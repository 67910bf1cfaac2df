#pragma once
// ShowMessage in the GUI: the message appears in the skinned message dialog, on the
// user-interface thread even when a worker thread shows it (the worker does not wait for it).
// Without the dialog's skin picture a plain message box stands in, so that no message is lost.
namespace zorvan {

void InstallGuiMessageHandler();

}  // namespace zorvan
