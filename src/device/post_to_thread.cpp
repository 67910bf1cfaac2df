#include "device/post_to_thread.h"

#include <QMetaObject>

#include <mutex>

namespace zorvan {

void PostToThread(QObject* context, std::function<void()> call)
{
    static std::mutex posting;
    std::lock_guard lock(posting);
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

}  // namespace zorvan
