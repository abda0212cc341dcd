#pragma once

#include <QTextBrowser>

namespace console::ui {

// The comments of a webtask as the website returned them: rich text when they hold HTML, plain
// text otherwise. Nothing the text refers to is ever loaded (no images, style sheets or other
// files, local or remote), and links are shown but not followed: the text comes from outside.
class CommentsView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit CommentsView(QWidget *parent = nullptr);

    void showComments(const QString &comments);
    QVariant loadResource(int type, const QUrl &name) override;
};

} // namespace console::ui
