#include "bizlib/report/QuoteLetter.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/quote/PricingModel.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "bizlib/quote/SpecSections.h"

namespace bizlib {

namespace {

QString esc(const QString &text)
{
    QString out = text.trimmed().toHtmlEscaped();
    out.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    out.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return out;
}

// "1234567.5" as "1,234,567.50".
QString grouped(const Decimal &amount)
{
    QString digits = amount.rescaled(2).toString();
    const bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative)
        digits.remove(0, 1);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString whole = digits.left(point);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char(','));
    return (negative ? QStringLiteral("-") : QString()) + whole + digits.mid(point);
}

// Reads the first row of `table` whose key `keyName` starts with `values`; a missing row leaves
// `record` empty (valid, all fields cleared).
Status readOptional(
    Database &db, const QString &table, const QString &keyName, const QVariantList &values, Record *record)
{
    Table t(db, table);
    *record = t.newRecord();
    const Status st = t.fetch(keyName, values, *record);
    if (st.isNotFound())
        *record = t.newRecord();
    return st.isError() ? st : Status::ok();
}

} // namespace

Status QuoteLetter::load(Database &db, const Record &quote, QuoteLetter *letter)
{
    letter->m_quote = quote;
    {
        Table company(db, QStringLiteral("Company"));
        TableCursor cursor(company, QStringLiteral("COMPANYIDKEY"));
        letter->m_company = company.newRecord();
        const Status st = cursor.next(letter->m_company);
        if (st.isError())
            return st;
    }
    Status st = readOptional(
        db, QStringLiteral("Clients"), QStringLiteral("CLIENTIDKEY"), { quote.toLong("ClientID") }, &letter->m_client);
    if (st)
        st = readOptional(db, QStringLiteral("Contacts"), QStringLiteral("CONTACTIDKEY"), { quote.toLong("ContactID") },
            &letter->m_contact);
    if (st)
        st = readOptional(db, QStringLiteral("SpecTexts"), QStringLiteral("QUOTEIDKEY"), { quote.toLong("QuoteID") },
            &letter->m_spec);
    if (st)
        st = readOptional(db, QStringLiteral("Users"), QStringLiteral("USERIDKEY"), { quote.toLong("SignatoryID") },
            &letter->m_signatory);
    if (!st)
        return st;
    letter->m_workings.clear();
    Table workings(db, QStringLiteral("QuoteWorkings"));
    TableCursor cursor(workings, QStringLiteral("QUOTEIDKEY"));
    cursor.setRange({ quote.toLong("QuoteID") });
    Record line;
    while ((st = cursor.next(line)))
        letter->m_workings.append(line);
    return st.isNotFound() ? Status::ok() : st;
}

bool QuoteLetter::isRfq() const
{
    return m_quote.text("QuoteType").trimmed().compare(QLatin1String("RFQ"), Qt::CaseInsensitive) == 0;
}

QString QuoteLetter::reference() const
{
    return QString::number(m_quote.toLong("Number")) + m_quote.text("Revision").trimmed();
}

QString QuoteLetter::title() const
{
    return (isRfq() ? QStringLiteral("Request for quotation ") : QStringLiteral("Quote ")) + reference();
}

QString QuoteLetter::letterhead() const
{
    QStringList lines;
    for (const char *field : { "Address1", "Address2", "Address3", "Town", "County", "Postcode" }) {
        const QString v = m_company.text(QString::fromLatin1(field)).trimmed();
        if (!v.isEmpty())
            lines << esc(v);
    }
    QStringList contact;
    if (!m_company.text("Tel").trimmed().isEmpty())
        contact << QStringLiteral("Tel ") + esc(m_company.text("Tel"));
    if (!m_company.text("Email").trimmed().isEmpty())
        contact << esc(m_company.text("Email"));
    if (!m_company.text("Web").trimmed().isEmpty())
        contact << esc(m_company.text("Web"));
    QString html = QStringLiteral("<p align=\"right\"><span style=\"font-size:16pt; font-weight:bold\">%1</span><br>%2")
                       .arg(esc(m_company.text("Name")), lines.join(QLatin1String(", ")));
    if (!contact.isEmpty())
        html += QStringLiteral("<br>") + contact.join(QLatin1String(" &middot; "));
    if (!m_company.text("TaxReg").trimmed().isEmpty())
        html += QStringLiteral("<br>Tax registration ") + esc(m_company.text("TaxReg"));
    return html + QStringLiteral("</p>");
}

QString QuoteLetter::recipient() const
{
    const QString contact
        = !m_quote.text("Contact").trimmed().isEmpty() ? m_quote.text("Contact") : m_contact.text("Name");
    const QString client = !m_quote.text("Name").trimmed().isEmpty() ? m_quote.text("Name") : m_client.text("Name");
    const QString address
        = !m_quote.text("Address").trimmed().isEmpty() ? m_quote.text("Address") : m_client.text("Address");
    QStringList parts;
    if (!contact.trimmed().isEmpty())
        parts << esc(contact);
    if (!client.trimmed().isEmpty())
        parts << QStringLiteral("<b>%1</b>").arg(esc(client));
    if (!address.trimmed().isEmpty())
        parts << esc(address);
    return QStringLiteral("<p>%1</p>").arg(parts.join(QLatin1String("<br>")));
}

QString QuoteLetter::money(const Decimal &amount) const
{
    const Decimal rate = m_quote.decimal("ExchangeRate");
    if (m_quote.toLong("UseCurrency") != 0 && rate > Decimal() && !m_quote.text("Currency").trimmed().isEmpty())
        return grouped((amount * rate).rescaled(2));
    return grouped(amount);
}

QString QuoteLetter::pricesTable() const
{
    const QList<qint64> quantities = QuoteLibrary::quantities(m_quote);
    if (quantities.isEmpty())
        return {};
    const bool converted = m_quote.toLong("UseCurrency") != 0 && m_quote.decimal("ExchangeRate") > Decimal()
        && !m_quote.text("Currency").trimmed().isEmpty();
    const QString currency = converted ? m_quote.text("Currency").trimmed() : m_company.text("Currency").trimmed();
    QString html = QStringLiteral("<h3>Prices%1</h3>")
                       .arg(currency.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(esc(currency)));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">"
                           "<tr><th align=\"left\">Quantity</th><th align=\"right\">Price</th>"
                           "<th align=\"right\">Tax</th><th align=\"right\">Total</th></tr>");
    for (int i = 1; i <= quantities.size(); ++i) {
        QString text = m_quote.text(PricingModel::column(QStringLiteral("QuantityText"), i)).trimmed();
        if (text.isEmpty())
            text = QString::number(quantities[i - 1]);
        const Decimal price = m_quote.decimal(PricingModel::column(QStringLiteral("SellingPrice"), i));
        const Decimal tax = m_quote.decimal(PricingModel::column(QStringLiteral("TaxAmount"), i));
        const Decimal net = m_quote.toLong("IncludeTax") != 0 ? price - tax : price;
        html += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td>"
                               "<td align=\"right\">%4</td></tr>")
                    .arg(esc(text), money(net), money(tax), money(net + tax));
    }
    return html + QStringLiteral("</table>");
}

QString QuoteLetter::specification() const
{
    QString rows;
    for (const QString &section : SpecSections::names()) {
        if (section == QLatin1String("Private"))
            continue;
        const QString text = m_spec.text(section).trimmed();
        if (!text.isEmpty())
            rows += QStringLiteral("<tr><td width=\"22%\"><b>%1</b></td><td>%2</td></tr>").arg(section, esc(text));
    }
    if (rows.isEmpty() && !m_quote.text("Spec").trimmed().isEmpty())
        return QStringLiteral("<h3>Specification</h3><p>%1</p>").arg(esc(m_quote.text("Spec")));
    if (rows.isEmpty())
        return {};
    return QStringLiteral("<h3>Specification</h3><table cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">") + rows
        + QStringLiteral("</table>");
}

QString QuoteLetter::workings() const
{
    if (!m_detailed || m_workings.isEmpty())
        return {};
    QString html = QStringLiteral("<h3>Workings</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                  "width=\"100%\"><tr><th align=\"left\">Item</th><th align=\"right\">Quantity</th>"
                                  "<th align=\"right\">Price</th></tr>");
    for (const Record &line : m_workings) {
        const QString item
            = line.text("Description").trimmed().isEmpty() ? line.text("Code") : line.text("Description");
        html += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td></tr>")
                    .arg(esc(item), line.decimal("Quantity").toString(2), grouped(line.decimal("SellingPrice")));
    }
    return html + QStringLiteral("</table>");
}

QString QuoteLetter::fontFamily()
{
    return QStringLiteral("DejaVu Sans");
}

QString QuoteLetter::html() const
{
    const QDate date = DateTime::toDate(m_date > 0 ? m_date : DateTime::today());
    const QString contact = m_contact.text("Salutation").trimmed().isEmpty()
        ? (m_quote.text("Contact").trimmed().isEmpty() ? m_contact.text("Name") : m_quote.text("Contact"))
        : m_contact.text("Salutation");
    QString html
        = QStringLiteral("<html><body style=\"font-family:'%1'; font-size:%2pt\">").arg(fontFamily()).arg(kFontPoints);
    html += letterhead();
    html += recipient();
    html += QStringLiteral("<p>%1</p>").arg(date.toString(QStringLiteral("d MMMM yyyy")));
    html += QStringLiteral("<h2>%1</h2>").arg(esc(title()));
    if (!m_quote.text("Title").trimmed().isEmpty())
        html += QStringLiteral("<p><b>%1</b></p>").arg(esc(m_quote.text("Title")));
    html += QStringLiteral("<p>Dear %1,</p>")
                .arg(contact.trimmed().isEmpty() ? QStringLiteral("Sir or Madam") : esc(contact));
    if (isRfq()) {
        html += QStringLiteral("<p>Thank you for your enquiry. Our estimator is preparing your quotation to the "
                               "specification below.</p>");
        html += specification();
    } else {
        html += QStringLiteral("<p>Thank you for your enquiry. We are pleased to quote as follows.</p>");
        html += specification();
        html += pricesTable();
        html += workings();
        html += QStringLiteral("<p>We look forward to receiving your order.</p><p>Yours sincerely,</p>");
        QString sign = esc(m_quote.text("Signatory"));
        if (!m_signatory.text("Position").trimmed().isEmpty())
            sign += QStringLiteral("<br>") + esc(m_signatory.text("Position"));
        if (!sign.isEmpty())
            html += QStringLiteral("<p><br><br>%1<br>%2</p>").arg(sign, esc(m_company.text("Name")));
    }
    return html + QStringLiteral("</body></html>");
}

} // namespace bizlib
