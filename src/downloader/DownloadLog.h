#pragma once

#include <QString>

namespace downloader {

// The downloader's log: one line per event, "yyyy-MM-dd HH:mm:ss text", appended to a file that
// several downloaders may write at once (each line is one append, so lines never interleave).
// A line that cannot be written is not an error of the run; lastError() tells it.
// The log is opened without following a symbolic link: a link put in its place (pointing at a
// file of the user's, or at another log) makes the line fail instead of writing there.
class DownloadLog
{
public:
    static constexpr const char *FileName = "downloader.log";

    explicit DownloadLog(QString path);

    // "downloader.log" in the folder that holds `hotFolder` (not in the hot folder itself, whose
    // watchers would take the log for a job).
    static QString besideHotFolder(const QString &hotFolder);

    const QString &path() const { return m_path; }
    // Writes `text` (line breaks and other control characters become blanks) after the date and
    // time. False when the line could not be written.
    bool write(const QString &text);
    const QString &lastError() const { return m_error; }

    // An address as the log and the messages show it: a web (or other "scheme://") address
    // without its user name, password, query and fragment, which may hold a login or a token
    // ("https://host/files/a.pdf"); any other text (a file path) as it is.
    static QString shownAddress(const QString &text);

private:
    QString m_path;
    QString m_error;
};

} // namespace downloader
