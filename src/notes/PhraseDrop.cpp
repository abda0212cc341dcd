#include "notes/PhraseDrop.h"

namespace notes {

QString PhraseDrop::clipped(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace())
        --n;
    return text.left(n);
}

std::optional<QString> PhraseDrop::apply(const QString &current, const QString &dropped, bizlib::Prompter &prompter,
    int maxLength, bizlib::Prompter::Icon icon)
{
    const auto fit = [maxLength](const QString &s) { return maxLength > 0 ? s.left(maxLength) : s; };
    const QString existing = clipped(current);
    if (existing.isEmpty())
        return fit(dropped);
    enum { Overwrite = 1, Append = 2 };
    switch (prompter.alert(question(), caption(), icon, buttons(), 1)) {
    case Overwrite:
        return fit(clipped(dropped));
    case Append:
        return fit(existing + QStringLiteral(", ") + dropped);
    default:
        return std::nullopt;
    }
}

} // namespace notes
