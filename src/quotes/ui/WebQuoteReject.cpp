#include "quotes/ui/WebQuoteReject.h"

#include "bizlib/ui/SpellCheckDialog.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "config/WindowSettings.h"
#include "notes/ui/PhraseTextEdit.h"
#include "quotes/RequestRejection.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

// Resources of a static library are registered by name, outside any namespace.
static void registerRejectIcons()
{
    Q_INIT_RESOURCE(rejecticons);
}

namespace quotes::ui {

namespace {

// The combo's last entry starts the phrase form; it carries this instead of a phrase index.
constexpr int kNewPhrase = -2;

} // namespace

WebQuoteReject::WebQuoteReject(RequestRejection &rejection, bizlib::Prompter *prompter, const QString &windowIni,
    QWidget *parent, bizlib::ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, rejection.variant().procedure)
    , m_trace(trace)
    , m_rejection(rejection)
    , m_windowIni(windowIni)
{
    registerRejectIcons();
    const RejectionVariant &variant = rejection.variant();
    setObjectName(variant.procedure);
    setWindowTitle(variant.title);

    auto *icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/noentry_32.png")));
    auto *title = new QLabel(variant.title, this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    title->setFont(bold);
    auto *header = new QHBoxLayout;
    header->addWidget(icon);
    header->addWidget(title, 1);

    auto *prompt = new QLabel(RequestRejection::prompt(), this);
    prompt->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(header);
    // Which request this is: the window covers the list it was opened from.
    if (const QString subject = rejection.subject(); !subject.isEmpty()) {
        auto *which = new QLabel(subject, this);
        which->setObjectName(QStringLiteral("subject"));
        which->setWordWrap(true);
        which->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(which);
    }
    layout->addWidget(prompt);

    if (variant.phraseList) {
        m_phrases = new QComboBox(this);
        m_phrases->setObjectName(QStringLiteral("phraseTitle"));
        m_phrases->setToolTip(tr("Enter a short phrase title for referencing in lists"));
        m_phrases->setPlaceholderText(tr("Choose a phrase..."));
        m_phrases->setMinimumContentsLength(40);
        auto *reset = new QPushButton(tr("Reset"), this);
        reset->setObjectName(QStringLiteral("resetPhrase"));
        reset->setToolTip(tr("Reset phrase selection"));
        connect(reset, &QPushButton::clicked, this, &WebQuoteReject::resetPhrase);
        connect(m_phrases, &QComboBox::activated, this, &WebQuoteReject::phraseChosen);
        auto *row = new QHBoxLayout;
        row->addWidget(m_phrases, 1);
        row->addWidget(reset);
        layout->addLayout(row);
    }

    m_comments = new notes::ui::PhraseTextEdit(prompter, this);
    m_comments->setObjectName(QStringLiteral("comments"));
    m_comments->setToolTip(tr("Enter the reason for rejecting this user registration"));
    m_comments->setMaxLength(RequestRejection::kMaxComments);
    // Drops follow the window's own rule, so that the comments and the logic stay one text.
    m_comments->setDropHandler([this](const QString &, const QString &phrase) -> std::optional<QString> {
        if (!m_rejection.dropPhrase(phrase))
            return std::nullopt;
        return m_rejection.comments();
    });
    m_comments->installEventFilter(this);
    connect(m_comments, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_comments->toPlainText();
        if (text.size() > RequestRejection::kMaxComments) {
            // Typing or pasting beyond what the reason holds: the end is cut, as it is stored.
            m_rejection.setComments(text);
            showComments();
            return;
        }
        m_rejection.setComments(text);
    });
    layout->addWidget(m_comments, 1);

    auto *spelling = new QPushButton(tr("Spelling"), this);
    spelling->setObjectName(QStringLiteral("spellCheck"));
    spelling->setToolTip(tr("Spell-check text"));
    connect(spelling, &QPushButton::clicked, this, [this] { checkSpelling(false); });
    auto *f7 = new QShortcut(QKeySequence(Qt::Key_F7), this);
    connect(f7, &QShortcut::activated, this, [this] { checkSpelling(true); });
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    connect(m_ok, &QPushButton::clicked, this, &WebQuoteReject::pressOk);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(spelling);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);
    // Enter in the phrase list must not send the rejection: every button needs its own press.
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(false);

    showComments();
    const QByteArray geometry
        = m_windowIni.isEmpty() ? QByteArray() : config::WindowSettings(m_windowIni).geometry(variant.procedure);
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(520, 360);
}

void WebQuoteReject::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    // Once the window is on screen: the claim, which may ask.
    QTimer::singleShot(0, this, &WebQuoteReject::opened);
}

void WebQuoteReject::opened()
{
    if (!m_rejection.open()) {
        done(QDialog::Rejected);
        return;
    }
    fillPhrases();
    showComments();
    raise();
    activateWindow();
    m_comments->setFocus();
}

bool WebQuoteReject::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_comments && event->type() == QEvent::FocusIn)
        m_rejection.commentsSelected();
    return QDialog::eventFilter(watched, event);
}

void WebQuoteReject::fillPhrases(int current)
{
    if (!m_phrases)
        return;
    m_filling = true;
    m_phrases->clear();
    const auto &phrases = m_rejection.phrases();
    for (int i = 0; i < phrases.size(); ++i)
        m_phrases->addItem(phrases.at(i).title.left(80), i);
    m_phrases->addItem(tr("New phrase..."), kNewPhrase);
    m_phrases->setCurrentIndex(current);
    m_filling = false;
}

void WebQuoteReject::phraseChosen(int row)
{
    if (m_filling || row < 0)
        return;
    const int index = m_phrases->itemData(row).toInt();
    if (index == kNewPhrase) {
        int added = -1;
        m_rejection.addPhrase(&added);
        fillPhrases(-1);
        if (added >= 0) {
            m_phrases->setCurrentIndex(added);
            phraseChosen(added);
        }
        return;
    }
    if (m_rejection.pickPhrase(index)) {
        showComments();
        return;
    }
    // Cancel in the overwrite question: the comments stay, the focus goes back to the list.
    m_phrases->setFocus();
}

void WebQuoteReject::resetPhrase()
{
    m_rejection.reset();
    if (m_phrases)
        m_phrases->setCurrentIndex(-1);
    showComments();
}

void WebQuoteReject::checkSpelling(bool key)
{
    // The button always checks the reason, F7 only when the reason has the focus; both then say
    // that the check is complete (the button has the key's effect).
    m_rejection.checkSpelling(!key || m_comments->hasFocus(), true);
    showComments();
}

void WebQuoteReject::showComments()
{
    if (m_comments->toPlainText() == m_rejection.comments())
        return;
    const QSignalBlocker block(m_comments);
    m_comments->setPlainText(m_rejection.comments());
    m_comments->moveCursor(QTextCursor::End);
}

void WebQuoteReject::pressOk()
{
    m_rejection.setComments(m_comments->toPlainText());
    if (m_rejection.ok())
        done(m_rejection.response() == bizlib::forms::Response::Completed ? QDialog::Accepted : QDialog::Rejected);
}

void WebQuoteReject::done(int result)
{
    if (!m_closing) {
        m_closing = true;
        m_rejection.close();
        if (!m_windowIni.isEmpty())
            config::WindowSettings(m_windowIni, m_trace)
                .setGeometry(m_rejection.variant().procedure, saveGeometry());
    }
    QDialog::done(result);
}

bizlib::forms::Response WebQuoteReject::run(
    config::AppContext &ctx, const RejectionVariant &variant, const bizlib::Record &request, QWidget *parent)
{
    bizlib::ui::WidgetForms forms(parent, ctx.trace);
    bizlib::ui::SpellCheckDialog speller(parent);
    RequestRejection::Services services;
    services.ctx = &ctx;
    services.forms = &forms;
    services.speller = &speller;
    RequestRejection rejection(services, variant, request);
    {
        WebQuoteReject window(rejection, ctx.prompter, ctx.paths.windowIni, parent, ctx.trace);
        forms.setParent(&window);
        // Modal to its parent only, so that the phrase toolbox (a window of its own) still takes
        // drags into the reason.
        window.setWindowModality(Qt::WindowModal);
        window.exec();
    }
    return rejection.response();
}

} // namespace quotes::ui
