#include "bizlib/report/PdfQuotes.h"

#include "bizlib/FreeFileName.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/report/QuoteLetter.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace bizlib {

PdfQuotes::PdfQuotes(Database &db)
    : m_db(db)
{ }

Status PdfQuotes::writePdf(const QString &html, const QString &title, const QString &fileName)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return Status::error(QStringLiteral("PDF documents can only be made in a program with a GUI application."));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return Status::error(QStringLiteral("The document %1 cannot be written: %2").arg(fileName, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("webconsole"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QTextDocument document;
        document.setHtml(html);
        // print() lays the text out on the writer's pages at their real size (drawContents would
        // keep the screen's size and print it tiny).
        document.print(&writer);
    }
    if (!file.commit())
        return Status::error(QStringLiteral("The document %1 cannot be written: %2").arg(fileName, file.errorString()));
    return Status::ok();
}

Status PdfQuotes::run(const params::DocumentOutputParams &params, const Record &quote, QString *fileName)
{
    if (fileName)
        fileName->clear();
    const QString outputTo = params.text("OutputTo").trimmed();
    if (!outputTo.isEmpty() && outputTo.compare(QLatin1String("PDF"), Qt::CaseInsensitive) != 0)
        return Status::error(
            QStringLiteral("Quote letters are produced as PDF files; output to \"%1\" is not available.")
                .arg(outputTo));
    QStringList refused;
    for (const char *flag : { "SendDialog", "EmailDialog", "EmailNotice", "SMSNotice", "Hardcopy", "SetPrinted" }) {
        if (params.toLong(QLatin1String(flag)) != 0)
            refused << QString::fromLatin1(flag);
    }
    if (!refused.isEmpty())
        return Status::error(
            QStringLiteral("The quote letter can only be written as a PDF file here; %1 cannot be done.")
                .arg(refused.join(QLatin1String(", "))));
    QString target = MainLibrary::localPath(params.text("Filename"));
    if (target.isEmpty())
        return Status::error(QStringLiteral("No file name was given for the quote letter."));

    QuoteLetter letter;
    Status st = QuoteLetter::load(m_db, quote, &letter);
    if (!st)
        return st;
    letter.setDetailed(params.toLong("Detailed") != 0);

    st = MainLibrary::createDirectory(QFileInfo(target).absolutePath());
    if (!st)
        return Status::error(QStringLiteral("The quote letter %1 cannot be written: %2").arg(target, st.message()));
    // Without overwriting, the first free name is claimed (created empty, exclusively) before
    // the letter is written into it, so two letters written at once never pick the same name.
    const bool claimed = params.toLong("Overwrite") == 0;
    if (claimed) {
        QString free;
        st = FreeFileName::claim(target, &free);
        if (!st)
            return Status::error(QStringLiteral("The quote letter %1 cannot be written: %2").arg(target, st.message()));
        target = free;
    }
    const QString description = params.text("Description").trimmed();
    st = writePdf(letter.html(), description.isEmpty() ? letter.title() : description, target);
    if (!st) {
        if (claimed)
            QFile::remove(target);
        return st;
    }
    if (fileName)
        *fileName = target;
    return Status::ok();
}

} // namespace bizlib
