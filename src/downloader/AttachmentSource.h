#pragma once

#include <QString>

namespace downloader {

// Where an attachment's file comes from, decided from the text stored with it (a source name or
// a stored path). Only two kinds are fetched:
// - Web: an http or https address with a host;
// - LocalFile: an absolute path on this computer, or a file: address of this computer.
// Everything else is Refused with the reason: other address schemes (ftp:, javascript:, data:
// ...), relative names (nothing says where they are), paths with ".." parts (they may point
// anywhere), and Windows drive or network paths (this computer cannot reach them).
struct AttachmentSource
{
    enum class Kind { Web, LocalFile, Refused };

    Kind kind = Kind::Refused;
    // Web: the address; LocalFile: the cleaned absolute path; Refused: empty.
    QString location;
    // The last name part of the location (empty when it has none, e.g. "http://host/").
    QString fileName;
    // Refused: why, as one sentence part ("has the scheme ftp:, ...").
    QString reason;

    static AttachmentSource classify(const QString &text);
};

} // namespace downloader
