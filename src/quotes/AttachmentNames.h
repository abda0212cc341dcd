#pragma once

#include <QString>
#include <optional>

namespace quotes {

// What the names and paths of attachments written by the website, the web monitor (often on
// Windows) or a user mean here. Names from the web tables build the paths that files are copied
// to, so only their last part is ever used.
class AttachmentNames
{
public:
    // The last part of a name or path (after the last "/" or "\"), trimmed. nullopt when that is
    // empty, "." or "..", or holds a ":" (a drive or a stream): such a name would not name a file
    // inside the folder it is written to.
    static std::optional<QString> safeName(const QString &nameOrPath);

    // An address with a scheme ("https://...", "file://..."), not a path.
    static bool isUrl(const QString &path);
    // A file on a local or mapped drive: a drive path ("X:\..." or "X:/...") or an absolute local
    // path ("/..."), as attachments carried over from an earlier quote are.
    static bool isOnLocalDrive(const QString &path);
    // A path that names a file to copy: not an address, and with a folder part.
    static bool isFilePath(const QString &path);
};

} // namespace quotes
