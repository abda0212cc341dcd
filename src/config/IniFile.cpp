#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <SimpleIni.h>
#include <limits>

namespace config {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

bool isCommentChar(char c)
{
    return c == ';' || c == '#';
}

// SimpleIni attaches a comment to the entry that follows it, so comment lines after the last
// entry of a file would be dropped on saving. They are kept aside and written back at the end.
QByteArray trailingComments(const QByteArray &data)
{
    QList<QByteArray> lines = data.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    auto isBlank = [](const QByteArray &l) { return l.trimmed().isEmpty(); };
    auto isComment = [](const QByteArray &l) {
        const QByteArray t = l.trimmed();
        return !t.isEmpty() && isCommentChar(t.at(0));
    };

    qsizetype first = -1;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (!isBlank(lines.at(i)) && !isComment(lines.at(i))) {
            first = i + 1;
            break;
        }
    }
    if (first < 0) {
        // Only comments: SimpleIni keeps the leading block (up to the first line that does not
        // start with a comment character) as the file comment.
        first = 0;
        while (first < lines.size() && !lines.at(first).isEmpty() && isCommentChar(lines.at(first).at(0)))
            ++first;
    }
    qsizetype last = lines.size() - 1;
    while (last >= first && isBlank(lines.at(last)))
        --last;
    while (first <= last && isBlank(lines.at(first)))
        ++first;
    if (first > last)
        return {};
    QByteArray result;
    for (qsizetype i = first; i <= last; ++i) {
        result += lines.at(i);
        result += '\n';
    }
    return result;
}

QByteArray oneLine(const QString &value)
{
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return v.toUtf8();
}

} // namespace

struct IniFile::Content
{
    CSimpleIniA ini { true, true, false };
    bool existed = false;
    bool unreadable = false;
    bool crlf = false;
    bool bom = false;
    QByteArray trailing;

    Content() { ini.SetSpaces(false); }

    QByteArray serialize() const
    {
        std::string out;
        ini.Save(out, false);
        QByteArray bytes = QByteArray::fromStdString(out);
        if (!trailing.isEmpty()) {
            if (!bytes.isEmpty())
                bytes += bytes.endsWith('\n') ? "\n" : "\n\n";
            bytes += trailing;
        }
        bytes.replace("\r\n", "\n");
        if (crlf)
            bytes.replace("\n", "\r\n");
        if (bom)
            bytes.prepend(kBom);
        return bytes;
    }

    void set(const QString &section, const QString &key, const QString &value)
    {
        const QByteArray sec = section.toUtf8();
        QByteArray name = key.toUtf8();
        // Keep the spelling the key already has in the file (the lookup ignores letter case).
        CSimpleIniA::TNamesDepend keys;
        if (ini.GetAllKeys(sec.constData(), keys)) {
            for (const auto &k : keys) {
                if (qstricmp(k.pItem, name.constData()) == 0) {
                    name = QByteArray(k.pItem);
                    break;
                }
            }
        }
        // Force-replace: one value per key, at the position of its first occurrence.
        ini.SetValue(sec.constData(), name.constData(), oneLine(value).constData(), nullptr, true);
    }
};

IniFile::IniFile(const QString &path)
    : m_path(path)
    , m_content(load())
{ }

IniFile::~IniFile() = default;

bool IniFile::exists() const
{
    return m_content->existed;
}

void IniFile::reload()
{
    m_content = load();
}

std::unique_ptr<IniFile::Content> IniFile::load() const
{
    auto content = std::make_unique<Content>();
    QFile file(m_path);
    if (!file.exists())
        return content;
    if (!file.open(QIODevice::ReadOnly)) {
        content->unreadable = true;
        return content;
    }
    QByteArray data = file.readAll();
    content->existed = true;
    content->bom = data.startsWith(kBom);
    if (content->bom)
        data.remove(0, kBom.size());
    const qsizetype nl = data.indexOf('\n');
    content->crlf = nl > 0 && data.at(nl - 1) == '\r';
    content->trailing = trailingComments(data);
    content->ini.LoadData(data.constData(), static_cast<size_t>(data.size()));
    return content;
}

const char *IniFile::raw(const QString &section, const QString &key) const
{
    return m_content->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    return raw(section, key) != nullptr;
}

QString IniFile::text(const QString &section, const QString &key, const QString &defaultValue, int width) const
{
    const char *value = raw(section, key);
    return cut(value ? QString::fromUtf8(value) : defaultValue, width);
}

qint64 IniFile::number(const QString &section, const QString &key, qint64 defaultValue) const
{
    const char *value = raw(section, key);
    return value ? parseNumber(QString::fromUtf8(value)) : defaultValue;
}

bizlib::Decimal IniFile::decimal(
    const QString &section, const QString &key, const bizlib::Decimal &defaultValue, int places) const
{
    const char *value = raw(section, key);
    if (!value)
        return defaultValue.rescaled(places);
    const auto parsed = bizlib::Decimal::parse(QString::fromUtf8(value).trimmed());
    return parsed ? parsed->rescaled(places) : bizlib::Decimal(0, places);
}

qint64 IniFile::parseNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
        negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    constexpr qint64 limit = std::numeric_limits<qint64>::max() / 10 - 1;
    qint64 value = 0;
    for (; i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128; ++i) {
        if (value > limit)
            return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        value = value * 10 + (t.at(i).unicode() - '0');
    }
    return negative ? -value : value;
}

QString IniFile::cut(const QString &text, int width)
{
    if (width <= 0 || text.size() <= width)
        return text;
    QString result = text.left(width);
    // Never keep half of a character that takes two code units.
    if (result.back().isHighSurrogate())
        result.chop(1);
    return result;
}

bool IniFile::write(const QList<Entry> &entries)
{
    m_error.clear();
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        m_error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }

    // Best effort against two of our own processes writing at the same moment; a file that
    // cannot be locked (read-only folder, lock held too long) is written anyway.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    lock.tryLock(2000);

    // Reload first: keys that another program wrote since our last read are kept.
    std::unique_ptr<Content> content = load();
    if (content->unreadable) {
        m_error = QStringLiteral("cannot read %1, so it is not overwritten").arg(m_path);
        m_content = std::move(content);
        return false;
    }
    for (const Entry &e : entries)
        content->set(e.section, e.key, e.value);

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        m_content = load();
        return false;
    }
    file.write(content->serialize());
    if (!file.commit()) {
        m_error = file.errorString();
        m_content = load();
        return false;
    }
    content->existed = true;
    m_content = std::move(content);
    return true;
}

bool IniFile::writeText(const QString &section, const QString &key, const QString &value)
{
    return write({ { section, key, value } });
}

bool IniFile::writeNumber(const QString &section, const QString &key, qint64 value)
{
    return write({ { section, key, QString::number(value) } });
}

} // namespace config
