#include "bizlib/report/PdfQuotes.h"

#include "bizlib/FreeFileName.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/report/QuoteLetter.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace bizlib {

namespace {

// A document layout that does nothing. print() lays out a copy of a document without a page size
// on the writer's pages; the document's own layout, made only to be copied from, would lay the
// whole text out once more at screen size and throw it away.
class UnusedLayout : public QAbstractTextDocumentLayout
{
public:
    using QAbstractTextDocumentLayout::QAbstractTextDocumentLayout;
    void draw(QPainter *, const PaintContext &) override { }
    int hitTest(const QPointF &, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 0; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame *) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock &) const override { return {}; }

protected:
    void documentChanged(int, int, int) override { }
};

} // namespace

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
        document.setDocumentLayout(new UnusedLayout(&document));
        // The page number print() adds is in the default font: the letter's own, so that no
        // further font is embedded for it.
        QFont font(QuoteLetter::fontFamily());
        font.setPointSizeF(QuoteLetter::kFontPoints);
        document.setDefaultFont(font);
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

    // The folder first: a letter that cannot be written is not gathered either.
    Status st = MainLibrary::createDirectory(QFileInfo(target).absolutePath());
    if (!st)
        return Status::error(QStringLiteral("The quote letter %1 cannot be written: %2").arg(target, st.message()));
    QuoteLetter letter;
    st = QuoteLetter::load(m_db, quote, &letter);
    if (!st)
        return st;
    letter.setDetailed(params.toLong("Detailed") != 0);
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
