#pragma once

#include <QtGlobal>

namespace bizlib::params {

// The action asked of an update operation (`QUPDP:FileRequest`, `UPDP:FileRequest`). Insert, change
// and view use the numbers of the library's global request byte; delete takes 3.
enum class FileRequest : qint32 {
    Insert = 1,
    Change = 2,
    Delete = 3,
    View = 6,
};

} // namespace bizlib::params
