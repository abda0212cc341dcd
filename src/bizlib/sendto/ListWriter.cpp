#include "bizlib/sendto/ListWriter.h"

#include <QIODevice>
#include <QLocale>
#include <QRegularExpression>

namespace bizlib::sendto {

namespace {

bool isPlainNumber(const QString &text)
{
    bool ok = false;
    QLocale::c().toDouble(text, &ok);
    return ok;
}

} // namespace

QString ListWriter::csvField(const QString &text)
{
    QString field = text;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!field.isEmpty() && formulaStarts.contains(field.at(0)) && !isPlainNumber(field))
        field.prepend(u'\'');
    const bool quote = field.contains(u',') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r')
        || (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!quote)
        return field;
    field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QString ListWriter::csvLine(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields)
        out << csvField(f);
    return out.join(u',') + QStringLiteral("\r\n");
}

Status ListWriter::writeCsv(const ListSource &list, QIODevice &out, qint64 *rows)
{
    qint64 written = 0;
    bool failed = out.write("\xEF\xBB\xBF") != 3 || out.write(csvLine(list.headers()).toUtf8()) < 0;
    const Status st = list.rows([&](const QStringList &row) {
        if (!failed && out.write(csvLine(row).toUtf8()) < 0)
            failed = true;
        ++written;
    });
    if (rows)
        *rows = written;
    if (!st)
        return st;
    if (failed)
        return Status::error(out.errorString());
    return Status::ok();
}

Status ListWriter::html(const ListSource &list, QString *html, qint64 *rows)
{
    QString doc;
    doc += QStringLiteral("<html><body><h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>")
               .arg(list.title().toHtmlEscaped());
    for (const QString &h : list.headers())
        doc += QStringLiteral("<th align=\"left\">%1</th>").arg(h.toHtmlEscaped());
    doc += QStringLiteral("</tr>");
    qint64 count = 0;
    const Status st = list.rows([&](const QStringList &row) {
        doc += QStringLiteral("<tr>");
        for (const QString &cell : row)
            doc += QStringLiteral("<td>%1</td>").arg(cell.toHtmlEscaped());
        doc += QStringLiteral("</tr>");
        ++count;
    });
    doc += QStringLiteral("</table></body></html>");
    if (rows)
        *rows = count;
    if (st)
        *html = doc;
    return st;
}

QString ListWriter::fileName(const QString &title)
{
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString name = title.trimmed();
    name.replace(unsafe, QStringLiteral("_"));
    return (name.isEmpty() ? QStringLiteral("list") : name) + QStringLiteral(".csv");
}

} // namespace bizlib::sendto
