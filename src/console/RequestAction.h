#pragma once

#include <QString>

namespace console {

// What the request buttons of the General tab start: the processing and rejection windows of
// each kind of request and the payment marking of an order.
enum class RequestAction {
    ProcessQuote,
    RejectQuote,
    ProcessSignup,
    RejectSignup,
    ProcessOrder,
    RejectOrder,
    MarkPaid
};

// The name of the window an action starts, for messages ("Quote processing").
QString requestActionName(RequestAction action);

} // namespace console
