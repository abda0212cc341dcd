#pragma once

#include <QString>

namespace bizlib::mail {

// The readable text of an HTML body, for the plain-text alternative of an HTML e-mail and for
// showing an HTML message where only text fits.
class HtmlText
{
public:
    // Drops head, style and script contents and all tags; line breaks for <br> and the ends of
    // paragraphs, divisions, headings, list items and table rows; the common character
    // references decoded; at most one blank line in a row.
    static QString toPlainText(const QString &html);
};

} // namespace bizlib::mail
