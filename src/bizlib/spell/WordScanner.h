#pragma once

#include <QList>
#include <QStringView>

namespace bizlib::spell {

// Finds the words of a text that a spelling check looks at.
//
// A word is a run of letters (with their combining marks) and apostrophes inside it ("don't",
// "O'Neill"); hyphens, dots and other punctuation separate words. Left out are:
// - runs with a digit in them: numbers, codes, "3rd", "A4";
// - e-mail addresses: a blank-separated piece with letters or digits on both sides of an "@";
// - web and file addresses: a piece with "://", starting with "www." or "mailto:", or a host
//   name with a path ("example.com/prices").
class WordScanner
{
public:
    struct Word
    {
        qsizetype start = 0;
        qsizetype length = 0;
        bool operator==(const Word &) const = default;
    };

    static QList<Word> words(QStringView text);
    static bool isEmailAddress(QStringView piece);
    static bool isWebAddress(QStringView piece);
};

} // namespace bizlib::spell
