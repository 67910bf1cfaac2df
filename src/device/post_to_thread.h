#pragma once
// Runs `call` on the thread of `context` (queued), from any thread. All of the device layer's
// cross-thread posts go through here, one at a time: Qt's event queue is guarded by a lock the
// thread sanitizer cannot see, and ordering the posts by a lock it can see keeps the checked
// build quiet without hiding our own races.
#include <QObject>

#include <functional>

namespace zorvan {

void PostToThread(QObject* context, std::function<void()> call);

}  // namespace zorvan
