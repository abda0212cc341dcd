#include "app/ui/WidgetPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace app::ui {

int WidgetPrompter::message(const QString &text, const QString &caption, Icon icon, const QString &buttons,
                            int defaultButton, int escapeButton)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption);
    box.setText(text);
    // A message may name commands or paths to copy (the first start's does): its text can be
    // selected and copied like any text.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Hand: box.setIcon(QMessageBox::Critical); break;
    }
    const QStringList labels = buttons.split(u'|');
    const int escape = escapeButton >= 1 && escapeButton <= labels.size() ? escapeButton : static_cast<int>(labels.size());
    QList<QAbstractButton *> made;
    for (int i = 0; i < labels.size(); ++i) {
        QPushButton *b = box.addButton(
            labels[i], i + 1 == escape && labels.size() > 1 ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        made << b;
        if (i + 1 == defaultButton)
            box.setDefaultButton(b);
    }
    box.setEscapeButton(made.at(escape - 1));
    box.exec();
    const int chosen = static_cast<int>(made.indexOf(box.clickedButton()));
    return chosen >= 0 ? chosen + 1 : escape;
}

void WidgetPrompter::beep(Icon)
{
    QApplication::beep();
}

} // namespace app::ui
