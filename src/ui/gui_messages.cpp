#include "ui/gui_messages.h"

#include "app/message_box.h"
#include "skin/picture_cache.h"
#include "skin/skin_files.h"
#include "ui/pages/msg_dlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace zorvan {
namespace {

void ShowNow(const ShownMessage& message)
{
    QWidget* parent = QApplication::activeWindow();
    if (LoadPicture(SkinFile(QStringLiteral("msg_nr.png"))).isNull()) {
        QMessageBox::warning(parent, message.caption, message.text);
        return;
    }
    CMsgDlg::Message(parent, message.text, message.caption);
}

}  // namespace

void InstallGuiMessageHandler()
{
    SetMessageHandler([](const ShownMessage& message) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        if (QThread::currentThread() == app->thread())
            ShowNow(message);
        else
            QMetaObject::invokeMethod(app, [message] { ShowNow(message); }, Qt::QueuedConnection);
    });
}

}  // namespace zorvan
