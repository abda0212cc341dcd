#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace config {

// An INI file as its lines of bytes, for changing single values while every other byte stays as
// it is: lines the reader skips (a line without "=", a "[" without "]"), comments, blanks, the
// spacing around "=", the line ends and the encoding of the text.
//
// Lines end at LF, CR LF or a lone CR. Each line is recognised as the INI reader (SimpleIni)
// does: after leading blanks, ";" or "#" starts a comment; "[" up to "]" names a section (blanks
// trimmed), and a "[" without "]" ends the section before it (the reader files what follows under
// no name we can write to); otherwise text before the first "=" is a key (blanks trimmed, not
// empty) and the rest its value (blanks trimmed). Section and key names are bytes in the file's encoding, compared
// without regard to the case of ASCII letters; the first occurrence of a key counts.
class IniLines
{
public:
    // `bytes`: the file without its byte order mark.
    explicit IniLines(const QByteArray &bytes);

    // The value of the key's first occurrence, nullopt when the section has no such key.
    std::optional<QByteArray> value(const QByteArray &section, const QByteArray &key) const;

    // Sets the value of a key (one line of text in the file's encoding; outer blanks are
    // dropped). An existing key has only its value replaced, in the line where it is; a key new
    // to its section goes after the section's last entry (before the comments that lead into the
    // next section); a new section goes to the end of the file, after an empty line. New lines
    // end like the file's first line (LF in an empty file).
    void set(const QByteArray &section, const QByteArray &key, const QByteArray &value);

    QByteArray bytes() const;

private:
    struct Line
    {
        QByteArray text;
        QByteArray end; // the line end: "\n", "\r\n", "\r", or empty for the file's last line
    };
    enum class Kind { Blank, Comment, Section, BrokenSection, Entry, Other };
    struct Parsed
    {
        Kind kind = Kind::Blank;
        QByteArray name; // section or key
        qsizetype valueStart = 0;
        qsizetype valueEnd = 0;
    };

    static Parsed parse(const QByteArray &text);
    // Index of the key's line, or -1.
    qsizetype find(const QByteArray &section, const QByteArray &key) const;
    // Index of the section's first header, -1 when absent; the empty name is the part of the
    // file before the first header, which is always there.
    qsizetype sectionHeader(const QByteArray &section) const;
    void insertLine(qsizetype at, const QByteArray &text);

    QList<Line> m_lines;
    QByteArray m_newLineEnd;
};

} // namespace config
