#include "bizlib/spell/SpellChecker.h"

#include <QFileInfo>
#include <hunspell/hunspell.hxx>

namespace bizlib::spell {

SpellChecker::SpellChecker() = default;
SpellChecker::~SpellChecker() = default;

Status SpellChecker::open(const QString &dictionary)
{
    m_hunspell.reset();
    QString base = dictionary.trimmed();
    if (base.endsWith(QLatin1String(".dic"), Qt::CaseInsensitive)
        || base.endsWith(QLatin1String(".aff"), Qt::CaseInsensitive))
        base.chop(4);
    const QString aff = base + QLatin1String(".aff");
    const QString dic = base + QLatin1String(".dic");
    for (const QString &file : { aff, dic }) {
        const QFileInfo info(file);
        if (base.isEmpty() || !info.isFile() || !info.isReadable())
            return Status::error(QStringLiteral("The spelling dictionary cannot be found: %1 is missing or cannot be "
                                                "read. The text was not checked.")
                                     .arg(file));
    }
    auto h = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
    const QString encoding = QString::fromLatin1(h->get_dic_encoding()).toUpper().remove(u'-').remove(u'_');
    if (encoding == QLatin1String("UTF8")) {
        m_latin1 = false;
    } else if (encoding == QLatin1String("ISO88591") || encoding == QLatin1String("LATIN1")) {
        m_latin1 = true;
    } else {
        return Status::error(QStringLiteral("The spelling dictionary %1 uses the character set %2, which is not "
                                            "supported (use a UTF-8 dictionary). The text was not checked.")
                                 .arg(dic, QString::fromLatin1(h->get_dic_encoding())));
    }
    m_hunspell = std::move(h);
    return Status::ok();
}

std::string SpellChecker::encode(const QString &word) const
{
    return m_latin1 ? word.toLatin1().toStdString() : word.toUtf8().toStdString();
}

QString SpellChecker::decode(const std::string &bytes) const
{
    return m_latin1 ? QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
                    : QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool SpellChecker::isCorrect(const QString &word) const
{
    if (!m_hunspell || word.isEmpty())
        return true;
    // Typographic apostrophes are checked as the dictionary writes them.
    QString w = word;
    w.replace(QChar(0x2019), u'\'');
    return m_hunspell->spell(encode(w));
}

QStringList SpellChecker::suggestions(const QString &word) const
{
    QStringList out;
    if (!m_hunspell || word.isEmpty())
        return out;
    QString w = word;
    w.replace(QChar(0x2019), u'\'');
    for (const std::string &s : m_hunspell->suggest(encode(w)))
        out << decode(s);
    return out;
}

void SpellChecker::addWord(const QString &word)
{
    if (m_hunspell && !word.isEmpty())
        m_hunspell->add(encode(word));
}

} // namespace bizlib::spell
