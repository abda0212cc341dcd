#include "notes/ui/WidgetDesktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QUrl>

namespace notes::ui {

QString WidgetDesktop::filterText(const QList<Filter> &filters)
{
    QStringList parts;
    for (const Filter &f : filters) {
        // "*.*" would hide files without an extension here.
        const QString patterns = f.patterns == QLatin1String("*.*") ? QStringLiteral("*") : f.patterns;
        parts << (f.name.endsWith(QStringLiteral("(%1)").arg(f.patterns))
                ? f.name.left(f.name.size() - f.patterns.size() - 2) + u'(' + patterns + u')'
                : f.name + QStringLiteral(" (") + patterns + u')');
    }
    return parts.join(QStringLiteral(";;"));
}

QStringList WidgetDesktop::chooseFiles(const QString &title, const QList<Filter> &filters, bool several)
{
    const QString filter = filterText(filters);
    if (several)
        return QFileDialog::getOpenFileNames(m_parent, title, {}, filter);
    const QString file = QFileDialog::getOpenFileName(m_parent, title, {}, filter);
    return file.isEmpty() ? QStringList {} : QStringList { file };
}

QString WidgetDesktop::chooseFolder(const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(m_parent, title, start);
}

bool WidgetDesktop::open(const QString &target)
{
    const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

void WidgetDesktop::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace notes::ui
