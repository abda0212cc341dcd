#pragma once

#include "bizlib/Status.h"

#include <QString>
#include <functional>

class QIODevice;

namespace downloader {

// Writes files into one hot folder, and nowhere else.
//
// Programs that watch a hot folder pick up whatever appears in it, so a file appears there only
// when it is complete: it is first written to a hidden temporary file in the folder
// (".downloader-XXXXXX.part"), then its name is claimed with an exclusive create (so an existing
// file, another program's or another downloader's, is never replaced) and the finished file is
// renamed onto the claimed name. A failure leaves neither the temporary file nor the claim behind.
// The folder must be an absolute path: an empty or relative one (which would land in whatever
// folder the program was started from) is refused by every write (see problem()).
class HotFolderWriter
{
public:
    // Fills the open temporary file; a failure status stops the write.
    using Fill = std::function<bizlib::Status(QIODevice &)>;

    static constexpr int MaxNameTries = 1000;
    // Longest file name, in bytes (Linux file systems).
    static constexpr int MaxNameBytes = 255;

    explicit HotFolderWriter(QString folder);

    const QString &folder() const { return m_folder; }
    // Why the folder given cannot be written to: empty or not an absolute path, "" when it is
    // one. `what` names the setting in the message ("HotFolder").
    static QString problem(const QString &folder, const QString &what);

    // Writes a file named `name`, or when that name is taken the first free one of "base_2.ext",
    // "base_3.ext" ... (the base shortened when the name would be too long). `name` must be a
    // plain name (isPlainName()). On success `finalPath` holds the written file's path.
    bizlib::Status write(const QString &name, const Fill &fill, QString *finalPath);

    // True for a name that stays inside a folder: not empty, not "." or "..", without "/", "\",
    // ":" and control characters.
    static bool isPlainName(const QString &name);
    // `name` with its n-th number (n > 1) before the extension, cut to MaxNameBytes.
    static QString numberedName(const QString &name, int n);

private:
    QString m_folder;
    QString m_problem; // problem() of the folder given, "" when usable
};

} // namespace downloader
