#include "config/IniLines.h"

namespace config {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimmedBlanks(const QByteArray &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text.at(from)))
        ++from;
    while (to > from && isBlank(text.at(to - 1)))
        --to;
    return text.mid(from, to - from);
}

// ASCII letters only: the reader folds no other characters.
bool sameName(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char x = a.at(i);
        char y = b.at(i);
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

IniLines::IniLines(const QByteArray &bytes)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\n' && c != '\r')
            continue;
        const qsizetype endLength = c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n' ? 2 : 1;
        m_lines.append({ bytes.mid(start, i - start), bytes.mid(i, endLength) });
        i += endLength - 1;
        start = i + 1;
    }
    if (start < bytes.size())
        m_lines.append({ bytes.mid(start), {} });
    m_newLineEnd = !m_lines.isEmpty() && !m_lines.first().end.isEmpty() ? m_lines.first().end : QByteArray("\n");
}

IniLines::Parsed IniLines::parse(const QByteArray &text)
{
    Parsed p;
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i)))
        ++i;
    if (i == text.size())
        return p;
    const char first = text.at(i);
    if (first == ';' || first == '#') {
        p.kind = Kind::Comment;
        return p;
    }
    if (first == '[') {
        const qsizetype close = text.indexOf(']', i + 1);
        p.kind = close < 0 ? Kind::BrokenSection : Kind::Section;
        if (close >= 0)
            p.name = trimmedBlanks(text.mid(i + 1, close - i - 1));
        return p;
    }
    const qsizetype eq = text.indexOf('=', i);
    if (eq < 0 || eq == i) {
        p.kind = Kind::Other;
        return p;
    }
    p.kind = Kind::Entry;
    p.name = trimmedBlanks(text.mid(i, eq - i));
    p.valueStart = eq + 1;
    while (p.valueStart < text.size() && isBlank(text.at(p.valueStart)))
        ++p.valueStart;
    p.valueEnd = text.size();
    while (p.valueEnd > p.valueStart && isBlank(text.at(p.valueEnd - 1)))
        --p.valueEnd;
    return p;
}

qsizetype IniLines::find(const QByteArray &section, const QByteArray &key) const
{
    bool inSection = section.isEmpty();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Parsed p = parse(m_lines.at(i).text);
        if (p.kind == Kind::Section)
            inSection = sameName(p.name, section);
        else if (p.kind == Kind::BrokenSection)
            inSection = false;
        else if (inSection && p.kind == Kind::Entry && sameName(p.name, key))
            return i;
    }
    return -1;
}

qsizetype IniLines::sectionHeader(const QByteArray &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Parsed p = parse(m_lines.at(i).text);
        if (p.kind == Kind::Section && sameName(p.name, section))
            return i;
    }
    return -1;
}

std::optional<QByteArray> IniLines::value(const QByteArray &section, const QByteArray &key) const
{
    const qsizetype at = find(section, key);
    if (at < 0)
        return std::nullopt;
    const Parsed p = parse(m_lines.at(at).text);
    return m_lines.at(at).text.mid(p.valueStart, p.valueEnd - p.valueStart);
}

void IniLines::insertLine(qsizetype at, const QByteArray &text)
{
    if (at > 0 && m_lines.at(at - 1).end.isEmpty())
        m_lines[at - 1].end = m_newLineEnd;
    m_lines.insert(at, { text, m_newLineEnd });
}

void IniLines::set(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    const QByteArray v = trimmedBlanks(value);
    if (const qsizetype at = find(section, key); at >= 0) {
        QByteArray &text = m_lines[at].text;
        const Parsed p = parse(text);
        if (text.mid(p.valueStart, p.valueEnd - p.valueStart) != v)
            text = text.left(p.valueStart) + v + text.mid(p.valueEnd);
        return;
    }
    const QByteArray entry = key + '=' + v;
    const qsizetype header = section.isEmpty() ? -1 : sectionHeader(section);
    if (header < 0 && !section.isEmpty()) {
        if (!m_lines.isEmpty() && parse(m_lines.last().text).kind != Kind::Blank)
            insertLine(m_lines.size(), {});
        insertLine(m_lines.size(), '[' + section + ']');
        insertLine(m_lines.size(), entry);
        return;
    }
    // After the last entry (or stray line) of the section, else right after its header.
    qsizetype after = header;
    for (qsizetype i = header + 1; i < m_lines.size(); ++i) {
        const Kind kind = parse(m_lines.at(i).text).kind;
        if (kind == Kind::Section || kind == Kind::BrokenSection)
            break;
        if (kind == Kind::Entry || kind == Kind::Other)
            after = i;
    }
    insertLine(after + 1, entry);
}

QByteArray IniLines::bytes() const
{
    QByteArray out;
    for (const Line &line : m_lines)
        out += line.text + line.end;
    return out;
}

} // namespace config
