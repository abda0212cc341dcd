#pragma once

#include "bizlib/forms/FormRequest.h"

#include <QString>
#include <functional>

namespace bizlib {
class Record;
}
namespace bizlib::forms {
class SelectLibrary;
}

namespace console {

// A Setup field whose value is a code of a business table (or a layout number): the table and
// key it is looked up by, the field of the record that is taken as the value, and the business
// library's selection list that is offered instead.
struct SetupLookup
{
    QString field; // "INI:RFQESTIMATOR"
    QString table; // "Users"
    QString key; // "USERKEY"
    QString codeField; // "Initials"
    QString descriptionField; // "FullName": what the code names, shown beside it
    QString reportType; // layouts: the report type by name ("Estimates")
    std::function<bizlib::forms::Response(bizlib::forms::SelectLibrary &, bizlib::Record *)> list;

    bool isLayout() const { return !reportType.isEmpty(); }
    // nullptr for a field without a lookup.
    static const SetupLookup *find(const QString &field);
};

} // namespace console
