#pragma once

#include "bizlib/Status.h"

#include <QString>
#include <functional>

namespace bizlib {

// Claims a free file name where several programs (other workstations, the web monitor) may be
// choosing a name in the same folder at the same moment. A name is claimed by creating the file
// empty and exclusively (O_CREAT | O_EXCL): of two programs that pick the same name, exactly one
// gets it, and the other goes on to the next name.
class FreeFileName
{
public:
    struct Options
    {
        // Names that count as taken although no file has them (for example a name that a record
        // already stores). Asked before the name is claimed; a failure to answer (the database
        // is not answering) ends the search with that failure.
        std::function<Status(const QString &path, bool *taken)> taken;
        // The longest path allowed (0: no limit). A name that would be longer ends the search.
        qsizetype maxChars = 0;
    };

    // Claims `wanted`, or else the first free one of "<stem>_2<.ext>", "<stem>_3<.ext>" ... in the
    // same folder, and gives the path claimed (an empty file now exists there; the caller fills
    // it or removes it). The folder must exist. NotFound when every name up to the length limit
    // (or the first kMaxTries names) is taken; Error when a file cannot be created for another
    // reason, or `taken` fails (with the reason).
    static Status claim(const QString &wanted, QString *claimed, const Options &options);
    static Status claim(const QString &wanted, QString *claimed);
    static constexpr int kMaxTries = 10000;

    // "<stem>_<n><.ext>" of `path`.
    static QString numbered(const QString &path, int n);
};

} // namespace bizlib
