#include "app/message_box.h"

#include "app/log.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace zorvan {
namespace {

std::mutex g_mutex;
MessageHandler g_handler;

}  // namespace

struct MessageCollector::Store {
    mutable std::mutex mutex;
    std::vector<ShownMessage> messages;
};

void ShowMessage(const QString& caption, const QString& text)
{
    Log("Message [%s] %s", caption.toUtf8().constData(), text.toUtf8().constData());
    MessageHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler) {
        handler(ShownMessage{caption, text});
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    std::lock_guard lock(g_mutex);
    MessageHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}

MessageCollector::MessageCollector() : store_(new Store)
{
    Store* store = store_;
    previous_ = SetMessageHandler([store](const ShownMessage& m) {
        std::lock_guard lock(store->mutex);
        store->messages.push_back(m);
    });
}

MessageCollector::~MessageCollector()
{
    SetMessageHandler(std::move(previous_));
    delete store_;
}

std::vector<ShownMessage> MessageCollector::Messages() const
{
    std::lock_guard lock(store_->mutex);
    return store_->messages;
}

}  // namespace zorvan
