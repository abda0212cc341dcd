#pragma once

#include "notes/Desktop.h"

class QWidget;

namespace notes::ui {

// The desktop through Qt: QFileDialog, QDesktopServices and the clipboard.
class WidgetDesktop : public Desktop
{
public:
    explicit WidgetDesktop(QWidget *parent = nullptr)
        : m_parent(parent)
    { }
    void setParent(QWidget *parent) { m_parent = parent; }

    QStringList chooseFiles(const QString &title, const QList<Filter> &filters, bool several) override;
    QString chooseFolder(const QString &title, const QString &start) override;
    bool open(const QString &target) override;
    void setClipboardText(const QString &text) override;

    // Qt's filter text for `filters`, in order ("PDF file(s) (*.pdf);;...").
    static QString filterText(const QList<Filter> &filters);

private:
    QWidget *m_parent;
};

} // namespace notes::ui
