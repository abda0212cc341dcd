#include "console/logs/ui/CommentsView.h"

namespace console::ui {

CommentsView::CommentsView(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setReadOnly(true);
}

void CommentsView::showComments(const QString &comments)
{
    if (Qt::mightBeRichText(comments))
        setHtml(comments);
    else
        setPlainText(comments);
}

QVariant CommentsView::loadResource(int, const QUrl &)
{
    // Empty data rather than no answer: for an unanswered name the document reads local files
    // itself.
    return QByteArray();
}

} // namespace console::ui
