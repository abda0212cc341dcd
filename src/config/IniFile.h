#pragma once

#include "bizlib/Decimal.h"

#include <QList>
#include <QString>
#include <memory>

namespace config {

// One INI file, read the way the settings of the console and of the web monitor service are
// read on Windows, and written without disturbing anything we do not write.
//
// Reading (from the copy loaded at construction or at the last reload()/write()):
// - section and key names are compared without regard to letter case;
// - a missing file, section or key gives the caller's default; a key that is present with an
//   empty value gives the empty value (not the default);
// - a number is read like the Windows reader does: optional blanks, an optional sign and the
//   leading digits; a value that does not start with a number reads as 0;
// - a text longer than the width the caller gives is cut to that width;
// - a file that is valid UTF-8 is read as UTF-8, any other as Windows-1252 (the service writes
//   its file in the Windows ANSI code page); a UTF-8 byte order mark, CRLF line ends and comments
//   starting with ';' or '#' are understood;
// - a line that holds a NUL byte is skipped (the rest of the file is still read), and the file
//   then counts as not read in full.
//
// Writing (write() and the single-key helpers):
// - the file is read again first, so that keys that another program changed since our last
//   read are kept; only the values written change: every other byte stays as it was, comments,
//   blank lines, lines the reader cannot make sense of (a line without "=") and spacing
//   included, and a value written unchanged leaves its line as it is;
// - a key is never removed; a key that is new to its section goes after the last entry of that
//   section, a new section to the end of the file; an existing key keeps the spelling it has;
// - the file keeps its encoding (a value that the file's code page cannot hold is refused), its
//   line ends (a new file gets LF) and its byte order mark;
// - a file that exists but could not be read in full (no rights, a folder, a NUL byte, a read
//   error) is never written, so nothing that could not be read is lost;
// - the new contents go to a temporary file in the same folder that then replaces the file,
//   so a crash never leaves a half-written file; a missing folder is created; a write that
//   changes nothing leaves the file untouched;
// - a file that exists keeps its permissions; a new file is made readable and writable by its
//   owner only (these files hold passwords: the database's, the proxy's, the mail server's);
//   whoever must share one gives it wider rights, which later writes keep;
// - line breaks inside a value are written as blanks (a value is always one line);
// - nothing is encrypted.
// A write returns false when the file was not written (errorString() says why, naming the file);
// the loaded copy then shows the file as it is on disk.
//
// An object is not shared between threads; two objects on the same file are independent.
class IniFile
{
public:
    struct Entry
    {
        QString section;
        QString key;
        QString value;
    };

    explicit IniFile(const QString &path);
    ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    const QString &path() const { return m_path; }
    // True when the file existed at the last load.
    bool exists() const;
    // Loads the file again (a missing or unreadable file loads as empty).
    void reload();

    bool contains(const QString &section, const QString &key) const;
    // width 0 means no limit.
    QString text(const QString &section, const QString &key, const QString &defaultValue = {}, int width = 0) const;
    qint64 number(const QString &section, const QString &key, qint64 defaultValue = 0) const;
    // Read with `places` decimals (rounded); a value that is not a decimal number reads as 0.
    bizlib::Decimal decimal(
        const QString &section, const QString &key, const bizlib::Decimal &defaultValue, int places) const;

    bool write(const QList<Entry> &entries);
    bool writeText(const QString &section, const QString &key, const QString &value);
    bool writeNumber(const QString &section, const QString &key, qint64 value);
    QString errorString() const { return m_error; }

    // The reading rules on their own, for values that did not come from a file.
    static qint64 parseNumber(const QString &text);
    static QString cut(const QString &text, int width);

private:
    struct Content;
    std::unique_ptr<Content> load() const;
    static std::unique_ptr<Content> parse(QByteArray data);
    static bool sameApartFrom(const Content &before, const Content &after, const QList<Entry> &entries);
    const char *raw(const QString &section, const QString &key) const;

    QString m_path;
    std::unique_ptr<Content> m_content;
    QString m_error;
};

} // namespace config
