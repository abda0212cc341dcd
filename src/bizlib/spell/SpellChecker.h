#pragma once

#include "bizlib/Status.h"

#include <QString>
#include <QStringList>
#include <memory>

class Hunspell;

namespace bizlib::spell {

// A Hunspell dictionary: whether a word is spelt right, and suggestions for one that is not.
// One checker can be kept and used for many texts; loading a dictionary takes a moment.
class SpellChecker
{
public:
    // The installed US English dictionary, without extension.
    static QString defaultDictionary() { return QStringLiteral("/usr/share/hunspell/en_US"); }

    SpellChecker();
    ~SpellChecker();
    SpellChecker(const SpellChecker &) = delete;
    SpellChecker &operator=(const SpellChecker &) = delete;

    // Loads a dictionary: its path without extension ("/usr/share/hunspell/en_US") or the path of
    // its .dic or .aff file; the .aff and .dic files must both be readable. An error names the
    // missing file; the checker then has no dictionary.
    Status open(const QString &dictionary = defaultDictionary());
    bool isOpen() const { return m_hunspell != nullptr; }

    // True for a word of the dictionary (or one added), and when no dictionary is open.
    bool isCorrect(const QString &word) const;
    // Suggestions for a misspelt word, best first; none when no dictionary is open.
    QStringList suggestions(const QString &word) const;
    // Takes a word as correct for as long as the checker lives.
    void addWord(const QString &word);

private:
    std::string encode(const QString &word) const;
    QString decode(const std::string &bytes) const;

    std::unique_ptr<Hunspell> m_hunspell;
    bool m_latin1 = false; // the dictionary's encoding: ISO8859-1 rather than UTF-8
};

} // namespace bizlib::spell
