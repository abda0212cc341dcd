#pragma once

#include <QString>
#include <QStringList>

namespace downloader {

// The downloader's command line, as the console starts it:
//   downloader company=NN parenttype=quote parentid=ID parentref=REF
// Keys are matched without regard to letter case. "parenttype" is "quote" or "order";
// "parentid" is the record's identifier (a positive number); "parentref" is the quote or order
// number with its revision letter, which starts the name of every file written, so it must be a
// plain name (no folder separators, no ":", not "." or ".."). Besides: "--ini FILE" (or
// "--ini=FILE") names the workstation INI file, "--help" (also "-h", "/?") and "--version" ask
// for their text only.
struct Arguments
{
    enum class ParentType { Quote, Order };

    bool help = false;
    bool version = false;
    int company = -1;
    ParentType parentType = ParentType::Quote;
    qint32 parentId = 0;
    QString parentRef;
    QString iniFile;
    // Why the command line cannot be used; empty when it can (or when only help or the version
    // is asked for).
    QString error;

    static Arguments parse(const QStringList &arguments); // arguments[0] is the program
    static QString helpText();
};

} // namespace downloader
