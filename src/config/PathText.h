#pragma once

#include <QString>

namespace config {

// The text without trailing blanks (the way fixed-width texts are compared and joined).
inline QString clipRight(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace())
        --n;
    return text.left(n);
}

// `name` inside `folder` (trailing blanks of the folder ignored). An empty folder gives `name`
// alone, so the file is taken relative to the working folder.
inline QString joinPath(const QString &folder, const QString &name)
{
    QString f = clipRight(folder);
    if (f.isEmpty())
        return name;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    return f.endsWith(QLatin1Char('/')) ? f + name : f + QLatin1Char('/') + name;
}

} // namespace config
