#pragma once
// Every message the program shows goes through one function. The GUI installs a handler that
// shows a dialog; zorvanctl and the tests install one that collects; without a handler the
// message is logged and printed on standard error.
#include <QString>

#include <functional>
#include <vector>

namespace zorvan {

struct ShownMessage {
    QString caption;
    QString text;
};

using MessageHandler = std::function<void(const ShownMessage&)>;

void ShowMessage(const QString& caption, const QString& text);

// Installs `handler`, returning the one it replaces.
MessageHandler SetMessageHandler(MessageHandler handler);

// Collects every message shown while it lives (and shows none).
class MessageCollector {
public:
    MessageCollector();
    ~MessageCollector();
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;

    std::vector<ShownMessage> Messages() const;

private:
    MessageHandler previous_;
    struct Store;
    Store* store_;
};

}  // namespace zorvan
