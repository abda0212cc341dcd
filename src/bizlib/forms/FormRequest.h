#pragma once

#include <QtGlobal>

namespace bizlib::forms {

// What the caller asks of a record form or selection list (the library's global request byte).
enum class Request : quint8 {
    Insert = 1,
    Change = 2,
    Select = 4,
    View = 6,
};

// How a record form or selection list was left (the library's global response byte).
enum class Response : quint8 {
    Completed = 1,
    Cancelled = 2,
};

} // namespace bizlib::forms
