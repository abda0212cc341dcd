#include "config/IniFile.h"

#include "config/IniLines.h"
#include "config/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <SimpleIni.h>
#include <algorithm>
#include <limits>

namespace config {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

enum class Encoding { Utf8, Windows1252 };

QString oneLine(const QString &value)
{
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    v.replace(QChar(u'\0'), QLatin1Char(' '));
    return v;
}

// What the reader makes of a written value: outer blanks do not survive.
QString asRead(const QString &value)
{
    qsizetype from = 0;
    qsizetype to = value.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (from < to && blank(value.at(from)))
        ++from;
    while (to > from && blank(value.at(to - 1)))
        --to;
    return value.mid(from, to - from);
}

} // namespace

struct IniFile::Content
{
    CSimpleIniA ini { true, true, false };
    QByteArray bytes; // the file as it is on disk
    bool existed = false;
    bool bom = false;
    Encoding encoding = Encoding::Utf8;
    QString unreadable; // why the file could not be read in full; empty when it could

    QByteArray body() const { return bom ? bytes.mid(kBom.size()) : bytes; }

    std::optional<QByteArray> encode(const QString &text) const
    {
        if (encoding == Encoding::Utf8)
            return text.toUtf8();
        return windows1252::encode(text);
    }

    // A key's value as the reader gives it.
    const char *get(const QByteArray &section, const QByteArray &key) const
    {
        return ini.GetValue(section.constData(), key.constData(), nullptr);
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
    const QFileInfo info(m_path);
    if (!info.exists())
        return std::make_unique<Content>();
    std::unique_ptr<Content> content;
    QString reason;
    if (info.isDir()) {
        reason = QStringLiteral("it is a folder");
    } else {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly)) {
            content = parse(file.readAll());
            if (file.error() != QFileDevice::NoError)
                reason = file.errorString();
        } else {
            reason = file.errorString();
        }
    }
    if (!content)
        content = std::make_unique<Content>();
    content->existed = true;
    if (!reason.isEmpty())
        content->unreadable = reason;
    return content;
}

std::unique_ptr<IniFile::Content> IniFile::parse(QByteArray data)
{
    auto content = std::make_unique<Content>();
    content->bytes = data;
    content->bom = data.startsWith(kBom);
    if (content->bom)
        data.remove(0, kBom.size());

    content->encoding = QByteArrayView(data).isValidUtf8() ? Encoding::Utf8 : Encoding::Windows1252;
    QByteArray text = content->encoding == Encoding::Utf8 ? data : windows1252::decode(data).toUtf8();

    // The reader stops at a NUL byte: the lines holding one are left out so that the rest
    // is still read, and the file is not written over.
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0) {
        content->unreadable = QStringLiteral("line %1 holds a NUL byte").arg(text.left(nul).count('\n') + 1);
        QList<QByteArray> lines = text.split('\n');
        for (QByteArray &line : lines) {
            if (line.contains('\0'))
                line.clear();
        }
        text = lines.join('\n');
    }
    content->ini.LoadData(text.constData(), static_cast<size_t>(text.size()));
    return content;
}

const char *IniFile::raw(const QString &section, const QString &key) const
{
    return m_content->get(section.toUtf8(), key.toUtf8());
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
    const QString shown = QDir::toNativeSeparators(m_path);
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        m_error = QStringLiteral("%1 was not written: the folder %2 cannot be created")
                      .arg(shown, QDir::toNativeSeparators(info.absolutePath()));
        return false;
    }

    // Best effort against two of our own processes writing at the same moment; a file that
    // cannot be locked (read-only folder, lock held too long) is written anyway.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    lock.tryLock(2000);

    // Reload first: keys that another program wrote since our last read are kept.
    std::unique_ptr<Content> before = load();
    auto refuse = [&](const QString &why) {
        m_error = QStringLiteral("%1 was not written: %2").arg(shown, why);
        m_content = std::move(before);
        return false;
    };
    if (!before->unreadable.isEmpty())
        return refuse(QStringLiteral("it could not be read in full (%1), and writing it would lose what could not "
                                     "be read")
                          .arg(before->unreadable));

    IniLines lines(before->body());
    for (const Entry &e : entries) {
        const auto section = before->encode(e.section);
        const auto key = before->encode(e.key);
        const auto value = before->encode(oneLine(e.value));
        if (!section || !key || !value)
            return refuse(QStringLiteral("the value of \"%1\" in section \"%2\" has characters that the file's "
                                         "character set (Windows-1252) cannot hold")
                              .arg(e.key, e.section));
        lines.set(*section, *key, *value);
    }
    const QByteArray bytes = (before->bom ? kBom : QByteArray()) + lines.bytes();
    if (before->existed && bytes == before->bytes) {
        m_content = std::move(before);
        return true;
    }

    // The written file must read as the old one with the new values, and nothing else changed.
    std::unique_ptr<Content> after = parse(bytes);
    if (!sameApartFrom(*before, *after, entries))
        return refuse(QStringLiteral("its layout could not be kept for the keys written"));

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return refuse(file.errorString());
    // Before anything is written to it; an existing file's permissions QSaveFile keeps itself.
    if (!before->existed && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return refuse(file.errorString());
    file.write(bytes);
    if (!file.commit())
        return refuse(file.errorString());
    after->existed = true;
    m_content = std::move(after);
    return true;
}

bool IniFile::sameApartFrom(const Content &before, const Content &after, const QList<Entry> &entries)
{
    if (!after.unreadable.isEmpty())
        return false;
    auto written = [&](const char *section, const char *key) {
        return std::any_of(entries.begin(), entries.end(), [&](const Entry &e) {
            return qstricmp(e.section.toUtf8().constData(), section) == 0
                && qstricmp(e.key.toUtf8().constData(), key) == 0;
        });
    };
    CSimpleIniA::TNamesDepend sections;
    before.ini.GetAllSections(sections);
    for (const auto &section : sections) {
        CSimpleIniA::TNamesDepend keys;
        before.ini.GetAllKeys(section.pItem, keys);
        for (const auto &key : keys) {
            if (written(section.pItem, key.pItem))
                continue;
            const char *was = before.ini.GetValue(section.pItem, key.pItem, nullptr);
            const char *is = after.ini.GetValue(section.pItem, key.pItem, nullptr);
            if (!is || qstrcmp(was, is) != 0)
                return false;
        }
    }
    // A key written twice holds the last value.
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const Entry &e = entries.at(i);
        const bool later = std::any_of(entries.begin() + i + 1, entries.end(), [&](const Entry &l) {
            return l.section.compare(e.section, Qt::CaseInsensitive) == 0
                && l.key.compare(e.key, Qt::CaseInsensitive) == 0;
        });
        const char *is = after.get(e.section.toUtf8(), e.key.toUtf8());
        if (!later && (!is || QString::fromUtf8(is) != asRead(oneLine(e.value))))
            return false;
    }
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
