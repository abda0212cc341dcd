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
// - values are UTF-8; a UTF-8 byte order mark, CRLF line ends and comments starting with ';'
//   or '#' are understood.
//
// Writing (write() and the single-key helpers):
// - the file is read again first, so that keys that another program changed since our last
//   read are kept; only the keys written change, every other key, comment and their order stay;
// - a key is never removed; a key that is new to its section goes to the end of that section,
//   a new section to the end of the file; an existing key keeps the spelling it had in the file;
// - the file keeps its line ends (CRLF stays CRLF, a new file gets LF) and its byte order mark;
// - the new contents go to a temporary file in the same folder that then replaces the file,
//   so a crash never leaves a half-written file; a missing folder is created;
// - line breaks inside a value are written as blanks (a value is always one line);
// - nothing is encrypted.
// A write returns false when the file could not be written (errorString() says why); the
// loaded copy then shows the file as it is on disk.
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
    const char *raw(const QString &section, const QString &key) const;

    QString m_path;
    std::unique_ptr<Content> m_content;
    QString m_error;
};

} // namespace config
