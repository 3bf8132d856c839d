#pragma once
// A window's message entry point: where the worker posts or sends its
// messages. The handler runs on the window's thread through its dispatcher.

#include <cstdint>
#include <functional>
#include <memory>

#include "dispatcher.h"

namespace pst {

using MessageHandler = std::function<void(unsigned message, std::intptr_t wParam, std::intptr_t lParam)>;

class MessageTarget {
public:
    MessageTarget(std::shared_ptr<Dispatcher> dispatcher, MessageHandler handler)
        : dispatcher_(std::move(dispatcher)), handler_(std::move(handler))
    {
    }

    // Queues the message and returns at once.
    void post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) const
    {
        dispatcher_->post(
            [handler = handler_, message, wParam, lParam] { handler(message, wParam, lParam); });
    }

    // Returns once the window's thread has handled the message.
    void send(unsigned message, std::intptr_t wParam, std::intptr_t lParam) const
    {
        dispatcher_->send([this, message, wParam, lParam] { handler_(message, wParam, lParam); });
    }

    Dispatcher& dispatcher() const { return *dispatcher_; }

private:
    std::shared_ptr<Dispatcher> dispatcher_;
    MessageHandler handler_;
};

}  // namespace pst
