#include "notes/WebNoteEditor.h"

#include "bizlib/Clock.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/forms/SelectLibrary.h"
#include "notes/FieldSpelling.h"
#include "notes/PhraseDrop.h"

namespace notes {

namespace {

using Request = NoteRequest;
using bizlib::forms::Response;

const QString kNotes = QStringLiteral("WebNotes");
const QString kDateFormat = QStringLiteral("dd/MM/yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm");

// Trailing spaces only: a text that ends with a line break keeps it.
QString withoutTrailingSpaces(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return s.left(n);
}

bool isOwnerType(const QString &type)
{
    const QString t = type.trimmed().toUpper();
    return t == QLatin1String("QTE") || t == QLatin1String("ORD");
}

} // namespace

const QList<WebNoteEditor::Flag> &WebNoteEditor::displayFlags()
{
    static const QList<Flag> flags {
        { QStringLiteral("OnQuote"), QStringLiteral("Quote") },
        { QStringLiteral("OnOrder"), QStringLiteral("Order") },
        { QStringLiteral("OnProof"), QStringLiteral("Proof") },
        { QStringLiteral("OnDelivery"), QStringLiteral("Delivery") },
        { QStringLiteral("OnInvoice"), QStringLiteral("Invoice") },
        { QStringLiteral("OnPOrder"), QStringLiteral("P-Order") },
        { QStringLiteral("OnPInvoice"), QStringLiteral("P-Invoice") },
        { QStringLiteral("OnClient"), {} },
        { QStringLiteral("OnSupplier"), {} },
        { QStringLiteral("OnJobBag"), {} },
        { QStringLiteral("OnStock"), {} },
        { QStringLiteral("OnCRM"), {} },
    };
    return flags;
}

const QStringList &WebNoteEditor::priorities()
{
    static const QStringList list { QStringLiteral("Low"), QStringLiteral("Normal"), QStringLiteral("Moderate"),
        QStringLiteral("High"), QStringLiteral("Very High"), QStringLiteral("Urgent") };
    return list;
}

QList<Desktop::Filter> WebNoteEditor::documentFilters()
{
    return { { QStringLiteral("All Files"), QStringLiteral("*.*") },
        { QStringLiteral("Acrobat Files (*.pdf)"), QStringLiteral("*.pdf") },
        { QStringLiteral("Word files (*.doc)"), QStringLiteral("*.doc") },
        { QStringLiteral("Excel files (*.xls)"), QStringLiteral("*.xls") },
        { QStringLiteral("JPEG files (*.jpg)"), QStringLiteral("*.jpg") },
        { QStringLiteral("GIF files (*.gif)"), QStringLiteral("*.gif") },
        { QStringLiteral("Bitmap files (*.bmp)"), QStringLiteral("*.bmp") },
        { QStringLiteral("PNG files (*.png)"), QStringLiteral("*.png") },
        { QStringLiteral("TIF files (*.tif)"), QStringLiteral("*.tif") } };
}

QString WebNoteEditor::stampText(const QDateTime &when)
{
    return QStringLiteral("*** ") + when.date().toString(kDateFormat) + u' ' + when.time().toString(kTimeFormat)
        + QStringLiteral(" ***\r\n");
}

WebNoteEditor::WebNoteEditor(Services services, NoteEditorArgs args)
    : m_services(std::move(services))
    , m_args(std::move(args))
{ }

QDateTime WebNoteEditor::now() const
{
    return m_services.now ? m_services.now() : QDateTime::currentDateTime();
}

bool WebNoteEditor::isReadOnly() const
{
    return m_args.request == Request::View || m_args.request == Request::Delete;
}

QString WebNoteEditor::captionLine() const
{
    switch (m_args.request) {
    case Request::Insert:
        return QStringLiteral("Adding a Notes Record");
    case Request::Change:
        return QStringLiteral("Changing a Notes Record");
    case Request::View:
        return QStringLiteral("View Record");
    case Request::Delete:
        return QStringLiteral("Deleting a Notes Record");
    }
    return {};
}

bool WebNoteEditor::isAuthor() const
{
    return m_note.text("CreatedBy").trimmed().compare(m_services.userCode.trimmed(), Qt::CaseInsensitive) == 0;
}

void WebNoteEditor::stamp(const char *date, const char *time, const char *user)
{
    const QDateTime when = now();
    m_note.setLong(QString::fromLatin1(date), bizlib::DateTime::fromDate(when.date()));
    m_note.setLong(QString::fromLatin1(time), bizlib::DateTime::fromTime(when.time()));
    m_note.setText(QString::fromLatin1(user), m_services.userCode.trimmed());
}

bizlib::Status WebNoteEditor::open()
{
    if (!m_services.db)
        return m_lastStatus = bizlib::Status::error(QStringLiteral("The note editor has no business database."));
    bizlib::Table notes(*m_services.db, kNotes);
    if (m_args.request == Request::Insert) {
        m_note = m_args.note.isValid() ? m_args.note : notes.newRecord();
        bizlib::Record numbered;
        if (const bizlib::Status st = notes.prime(numbered); !st)
            return m_lastStatus = st;
        m_note.setLong("NoteID", numbered.toLong("NoteID"));
        m_primed = true;
        if (m_note.text("CreatedBy").trimmed().isEmpty())
            stamp("CreatedOn", "CreatedAt", "CreatedBy");
        if (m_note.text("Priority").trimmed().isEmpty())
            m_note.setText("Priority", QStringLiteral("Normal"));
    } else {
        m_note = notes.newRecord();
        const qint32 id = m_args.note.isValid() ? m_args.note.toLong("NoteID") : 0;
        if (const bizlib::Status st = notes.fetch(QStringLiteral("NOTEIDKEY"), { id }, m_note); !st)
            return m_lastStatus = st;
    }
    m_original = m_note;
    if ((m_args.request == Request::Change || m_args.request == Request::View) && m_note.toLong("Actioned") == 1) {
        const QDate day = bizlib::DateTime::toDate(m_note.toLong("ActionedOn"));
        const QTime at = bizlib::DateTime::toTime(m_note.toLong("ActionedAt"));
        m_actionedDate = u'(' + day.toString(kDateFormat) + QStringLiteral(" @ ") + at.toString(kTimeFormat)
            + QStringLiteral(" by: ") + m_note.text("ActionedBy").trimmed() + u')';
    }
    if (!isReadOnly()) {
        const QString type = m_args.parentType.trimmed().toUpper();
        if (type == QLatin1String("QTE"))
            m_note.setLong("OnQuote", 1);
        else if (type == QLatin1String("ORD"))
            m_note.setLong("OnOrder", 1);
    }
    return m_lastStatus = bizlib::Status::ok();
}

bool WebNoteEditor::isFlagLocked(const QString &field) const
{
    const QString type = m_args.parentType.trimmed().toUpper();
    return (type == QLatin1String("QTE") && field == QLatin1String("OnQuote"))
        || (type == QLatin1String("ORD") && field == QLatin1String("OnOrder"));
}

bool WebNoteEditor::lookupSubject()
{
    if (!m_services.select || isReadOnly())
        return false;
    bizlib::Record phrase;
    if (m_services.select->selectPhrase(QStringLiteral("Subject"), QStringLiteral("Other"), &phrase)
        != Response::Completed)
        return false;
    m_note.setText("Subject", phrase.text("PhraseTitle"));
    m_note.setText("Notes", phrase.text("PhraseText"));
    return true;
}

bool WebNoteEditor::lookupDocument()
{
    if (!m_services.desktop || isReadOnly())
        return false;
    const QStringList files
        = m_services.desktop->chooseFiles(QStringLiteral("Select linked document"), documentFilters(), false);
    if (files.isEmpty())
        return false;
    m_note.setText("Document", files.first());
    return true;
}

bool WebNoteEditor::openDocument()
{
    const QString document = PhraseDrop::clipped(m_note.text("Document"));
    if (document.isEmpty() || !m_services.desktop)
        return false;
    return m_services.desktop->open(document);
}

void WebNoteEditor::clearFlags()
{
    for (const Flag &f : displayFlags())
        m_note.setLong(f.field, 0);
}

void WebNoteEditor::setAllFlags()
{
    if (!isOwnerType(m_args.parentType))
        return;
    clearFlags();
    m_note.setLong("OnQuote", 1);
    m_note.setLong("OnOrder", 1);
}

void WebNoteEditor::addStamp()
{
    QString text = withoutTrailingSpaces(m_note.text("Notes"));
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        text += QStringLiteral("\r\n");
    m_note.setText("Notes", text + stampText(now()));
}

void WebNoteEditor::checkSpelling(bool run, bool report)
{
    const FieldSpelling spelling { m_services.speller, m_services.prompter, m_services.dictionary };
    m_note.setText("Notes", spelling.check(m_note.text("Notes"), run && !isReadOnly(), report));
}

bool WebNoteEditor::dropPhrase(const QString &phrase)
{
    if (isReadOnly() || !m_services.prompter)
        return false;
    const bizlib::FieldDef *field = m_note.table().field(QStringLiteral("Notes"));
    const std::optional<QString> text
        = PhraseDrop::apply(m_note.text("Notes"), phrase, *m_services.prompter, field ? field->maxChars() : 0);
    if (!text)
        return false;
    m_note.setText("Notes", *text);
    return true;
}

void WebNoteEditor::report(const bizlib::Status &status)
{
    m_lastStatus = status;
    if (m_services.prompter)
        m_services.prompter->alert(status.message(), title(), bizlib::Prompter::Icon::Hand);
}

bool WebNoteEditor::complete()
{
    if (m_done)
        return true;
    m_lastStatus = bizlib::Status::ok();
    switch (m_args.request) {
    case Request::View:
        m_done = true;
        return true;
    case Request::Delete:
        return remove();
    case Request::Insert:
    case Request::Change:
        break;
    }
    bool anyFlag = false;
    for (const Flag &f : displayFlags())
        anyFlag = anyFlag || m_note.toLong(f.field) != 0;
    if (!anyFlag) {
        if (m_services.prompter)
            m_services.prompter->alert(
                noContextText(), QStringLiteral("Invalid display choices"), bizlib::Prompter::Icon::Exclamation);
        return false;
    }
    stamp("UpdatedOn", "UpdatedAt", "UpdatedBy");
    if (m_note.toLong("Actioned") == 1 && m_note.toLong("ActionedOn") == 0)
        stamp("ActionedOn", "ActionedAt", "ActionedBy");
    if (m_args.request == Request::Change && !isAuthor() && m_note.toLong("ReadOn") == 0)
        stamp("ReadOn", "ReadAt", "ReadBy");
    m_note.setLong("ParentID", m_args.parentId.trimmed().toInt());

    bizlib::Table notes(*m_services.db, kNotes);
    const bizlib::Status st = m_args.request == Request::Insert ? notes.insert(m_note) : notes.update(m_note);
    if (!st) {
        report(st);
        return false;
    }
    m_primed = false;
    m_done = true;
    m_response = Response::Completed;
    if (m_args.request == Request::Insert)
        linkOwner(m_note.toLong("NoteID"));
    return true;
}

void WebNoteEditor::cancel()
{
    if (m_done)
        return;
    m_done = true;
    bizlib::Table notes(*m_services.db, kNotes);
    if (m_primed) {
        notes.release(m_note);
        m_primed = false;
    }
    if (m_args.request == Request::Change && m_original.isValid()) {
        m_note = m_original;
        if (!isAuthor() && m_note.toLong("ReadOn") == 0) {
            stamp("ReadOn", "ReadAt", "ReadBy");
            if (const bizlib::Status st = notes.update(m_note); !st)
                report(st);
        }
    }
    m_response = Response::Cancelled;
}

bool WebNoteEditor::remove()
{
    const bool yes = !m_services.prompter
        || m_services.prompter->askYesNo(QStringLiteral("Are you sure you want to delete the highlighted "
                                                        "record?"),
            QStringLiteral("Confirm delete"), false);
    m_done = true;
    if (!yes)
        return true;
    bizlib::Table notes(*m_services.db, kNotes);
    if (const bizlib::Status st = notes.remove(m_note); !st) {
        report(st);
        return true;
    }
    clearOwnerLink(m_note.toLong("NoteID"));
    m_response = Response::Completed;
    return true;
}

void WebNoteEditor::linkOwner(qint32 noteId)
{
    const QString type = m_args.parentType.trimmed().toUpper();
    const bool quote = type == QLatin1String("QTE");
    if (!quote && type != QLatin1String("ORD"))
        return;
    // A request without a note link would keep showing no note (and an order its remarks): its
    // first note becomes its link. One conditional update of that field alone, so that a link
    // set meanwhile, and every other field (the status of a claim above all), stays as it is.
    const bizlib::TableDef &def
        = bizlib::Dictionary::instance().require(quote ? QStringLiteral("WebQuotes") : QStringLiteral("WebOrders"));
    const QString link = def.sqlColumn(def.fieldIndex(QStringLiteral("NoteID")));
    const QString id = def.sqlColumn(def.fieldIndex(quote ? QStringLiteral("QuoteID") : QStringLiteral("OrderID")));
    const bizlib::Status st = m_services.db->exec(
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ? AND %2 = 0").arg(def.sqlTable(), link, id),
        { noteId, m_args.parentId.trimmed().toInt() });
    if (!st)
        report(st);
}

void WebNoteEditor::clearOwnerLink(qint32 noteId)
{
    const QString type = m_args.parentType.trimmed().toUpper();
    const bool quote = type == QLatin1String("QTE");
    if (!quote && type != QLatin1String("ORD"))
        return;
    // The owner is read afresh, so that only its note link changes: writing back a copy read
    // earlier would undo what another workstation changed meanwhile (its status, above all).
    bizlib::Table owner(*m_services.db, quote ? QStringLiteral("WebQuotes") : QStringLiteral("WebOrders"));
    bizlib::Record r = owner.newRecord();
    const QString key = quote ? QStringLiteral("QUOTEIDKEY") : QStringLiteral("ORDERIDKEY");
    if (!owner.fetch(key, { m_args.parentId.trimmed().toInt() }, r) || r.toLong("NoteID") != noteId)
        return;
    r.setLong("NoteID", 0);
    // Only the link, and only while it still names this note.
    if (m_args.writeBackOwner)
        if (const bizlib::Status st = owner.updateIfUnchanged(r, { QStringLiteral("NoteID") }); st.isError())
            report(st);
}

} // namespace notes
