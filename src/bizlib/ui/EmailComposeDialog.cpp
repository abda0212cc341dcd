#include "bizlib/ui/EmailComposeDialog.h"

#include "bizlib/ProcedureScope.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace bizlib::ui {

EmailComposeDialog::EmailComposeDialog(QWidget *parent, ProcedureTrace *trace)
    : QDialog(parent)
    , m_trace(trace)
    , m_from(new QLabel(this))
    , m_to(new QLineEdit(this))
    , m_cc(new QLineEdit(this))
    , m_bcc(new QLineEdit(this))
    , m_subject(new QLineEdit(this))
    , m_text(new QPlainTextEdit(this))
    , m_html(new QTextEdit(this))
    , m_attachments(new QLabel(this))
{
    setWindowTitle(tr("E-mail"));
    setObjectName(QStringLiteral("EmailComposeDialog"));
    m_to->setObjectName(QStringLiteral("to"));
    m_cc->setObjectName(QStringLiteral("cc"));
    m_bcc->setObjectName(QStringLiteral("bcc"));
    m_subject->setObjectName(QStringLiteral("subject"));
    m_text->setObjectName(QStringLiteral("text"));
    m_html->setObjectName(QStringLiteral("html"));
    m_from->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_attachments->setWordWrap(true);
    const QString listTip = tr("Separate several addresses with \";\"");
    m_to->setToolTip(listTip);
    m_cc->setToolTip(listTip);
    m_bcc->setToolTip(listTip);

    auto *form = new QFormLayout;
    form->addRow(tr("From:"), m_from);
    form->addRow(tr("&To:"), m_to);
    form->addRow(tr("&Cc:"), m_cc);
    form->addRow(tr("&Bcc:"), m_bcc);
    form->addRow(tr("S&ubject:"), m_subject);
    form->addRow(tr("Attachments:"), m_attachments);

    auto *buttons = new QDialogButtonBox(this);
    m_send = buttons->addButton(tr("&Send"), QDialogButtonBox::AcceptRole);
    m_send->setObjectName(QStringLiteral("send"));
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit *e : { m_to, m_cc, m_bcc })
        connect(e, &QLineEdit::textChanged, this, &EmailComposeDialog::updateSendButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_html, 1);
    layout->addWidget(buttons);
    resize(640, 480);
}

void EmailComposeDialog::load(const mail::MailDraft &draft)
{
    m_loaded = draft;
    m_from->setText(draft.from);
    m_to->setText(draft.to);
    m_cc->setText(draft.cc);
    m_bcc->setText(draft.bcc);
    m_subject->setText(draft.subject);
    m_text->setVisible(!draft.html);
    m_html->setVisible(draft.html);
    if (draft.html) {
        m_html->setHtml(draft.body);
        m_html->document()->setModified(false);
        m_text->clear();
    } else {
        m_text->setPlainText(draft.body);
        m_html->clear();
    }
    QStringList names;
    for (const QString &path : draft.attachments)
        names << QFileInfo(path).fileName();
    m_attachments->setText(names.isEmpty() ? tr("(none)") : names.join(QLatin1String(", ")));
    m_attachments->setToolTip(draft.attachments.join(u'\n'));
    updateSendButton();
}

mail::MailDraft EmailComposeDialog::draft() const
{
    mail::MailDraft d = m_loaded;
    d.to = m_to->text().trimmed();
    d.cc = m_cc->text().trimmed();
    d.bcc = m_bcc->text().trimmed();
    d.subject = m_subject->text();
    if (d.html) {
        if (m_html->document()->isModified())
            d.body = m_html->toHtml();
    } else {
        d.body = m_text->toPlainText();
    }
    return d;
}

bool EmailComposeDialog::compose(mail::MailDraft &draft)
{
    ProcedureScope procedure(m_trace, QStringLiteral("EmailDialog"));
    load(draft);
    if (exec() != QDialog::Accepted)
        return false;
    draft = this->draft();
    return true;
}

void EmailComposeDialog::updateSendButton()
{
    const bool any
        = !m_to->text().trimmed().isEmpty() || !m_cc->text().trimmed().isEmpty() || !m_bcc->text().trimmed().isEmpty();
    m_send->setEnabled(any);
}

} // namespace bizlib::ui
