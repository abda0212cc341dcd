#include "bizlib/quote/SpecSections.h"

#include "bizlib/Record.h"
#include "bizlib/dictionary/TableGroups.h"

namespace bizlib {

const QStringList &SpecSections::names()
{
    return dictionary::specSectionNames();
}

QString SpecSections::sectionForTab(const QString &tabName)
{
    QString name = tabName;
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    name = name.toUpper();
    if (name == QLatin1String("PREPRESS"))
        return QStringLiteral("Repro");
    for (const QString &section : names()) {
        if (name == section.toUpper())
            return section;
    }
    return {};
}

QString SpecSections::summary(const Record &specText, int maxLength)
{
    QStringList lines;
    for (const QString &section : names()) {
        if (section == QLatin1String("Private"))
            continue;
        const QString text = specText.text(section).trimmed();
        if (!text.isEmpty())
            lines << section + QStringLiteral(": ") + text;
    }
    QString out = lines.join(QLatin1Char('\n'));
    if (maxLength > 0 && out.size() > maxLength)
        out.truncate(maxLength);
    return out;
}

} // namespace bizlib
