#include "DemoFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

namespace demo::DemoFiles {

namespace {

// PDF's built-in fonts know Latin letters only: accents are dropped, anything else becomes "?";
// the string delimiters are escaped.
QByteArray pdfText(const QString &text)
{
    QByteArray out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        const char ch = c.unicode() < 0x7F && c.isPrint() ? char(c.unicode()) : '?';
        if (ch == '(' || ch == ')' || ch == '\\')
            out.append('\\');
        out.append(ch);
    }
    return out;
}

QByteArray onePagePdf(const QString &title)
{
    const QByteArray content = "BT /F1 20 Tf 72 760 Td (" + pdfText(title).left(70)
        + ") Tj 0 -30 Td /F1 11 Tf (Uploaded to the website for this request.) Tj ET\n";
    const QList<QByteArray> objects {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// A soft two-colour gradient picked from the title, drawn pixel by pixel (no font or painter is
// needed, so this works in a program without a display).
QImage picture(const QString &title)
{
    const size_t seed = qHash(title);
    const QColor a = QColor::fromHsv(int(seed % 360), 90, 235);
    const QColor b = QColor::fromHsv(int((seed / 360) % 360), 160, 150);
    QImage image(320, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double t = (double(x) / image.width() + double(y) / image.height()) / 2.0;
            image.setPixel(x, y,
                qRgb(int(a.red() + (b.red() - a.red()) * t), int(a.green() + (b.green() - a.green()) * t),
                    int(a.blue() + (b.blue() - a.blue()) * t)));
        }
    }
    return image;
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

QString arrivingName(const QString &sampleName)
{
    const QFileInfo info(sampleName);
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("docx") || suffix == QLatin1String("zip"))
        return info.completeBaseName() + QStringLiteral(".pdf");
    if (suffix == QLatin1String("xlsx"))
        return info.completeBaseName() + QStringLiteral(".csv");
    return sampleName;
}

bool write(const QString &path, const QString &title, QString *error)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(error, QStringLiteral("Cannot create the folder %1.").arg(info.absolutePath()));
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") || suffix == QLatin1String("png")) {
        if (!picture(title).save(path, suffix == QLatin1String("png") ? "PNG" : "JPG", 85))
            return fail(error, QStringLiteral("Cannot write the picture %1.").arg(path));
        return true;
    }
    QByteArray data;
    if (suffix == QLatin1String("pdf"))
        data = onePagePdf(title);
    else if (suffix == QLatin1String("csv"))
        data = "Line,Name,Copies\r\n1,\"" + title.toUtf8().replace('"', "\"\"") + "\",250\r\n2,Reprint,100\r\n";
    else
        data = title.toUtf8() + "\n\nUploaded to the website for this request.\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

} // namespace demo::DemoFiles
