#include "bizlib/ui/SpellCheckDialog.h"

#include "bizlib/ProcedureScope.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace bizlib::ui {

SpellCheckDialog::SpellCheckDialog(QWidget *parent, ProcedureTrace *trace)
    : QDialog(parent)
    , m_trace(trace)
    , m_context(new QTextBrowser(this))
    , m_changeTo(new QLineEdit(this))
    , m_suggestions(new QListWidget(this))
    , m_change(new QPushButton(tr("&Change"), this))
    , m_changeAll(new QPushButton(tr("Change A&ll"), this))
    , m_ignore(new QPushButton(tr("&Ignore"), this))
    , m_ignoreAll(new QPushButton(tr("I&gnore All"), this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
{
    setWindowTitle(tr("Spelling"));
    setObjectName(QStringLiteral("SpellCheckDialog"));
    m_context->setObjectName(QStringLiteral("context"));
    m_changeTo->setObjectName(QStringLiteral("changeTo"));
    m_suggestions->setObjectName(QStringLiteral("suggestions"));
    m_change->setObjectName(QStringLiteral("change"));
    m_changeAll->setObjectName(QStringLiteral("changeAll"));
    m_ignore->setObjectName(QStringLiteral("ignore"));
    m_ignoreAll->setObjectName(QStringLiteral("ignoreAll"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_context->setMaximumHeight(110);
    m_change->setDefault(true);

    auto *changeLabel = new QLabel(tr("Change &to:"), this);
    changeLabel->setBuddy(m_changeTo);
    auto *suggestLabel = new QLabel(tr("&Suggestions:"), this);
    suggestLabel->setBuddy(m_suggestions);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : { m_change, m_changeAll, m_ignore, m_ignoreAll, m_cancel }) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Not in dictionary:"), this), 0, 0, 1, 2);
    grid->addWidget(m_context, 1, 0, 1, 2);
    grid->addWidget(changeLabel, 2, 0);
    grid->addWidget(m_changeTo, 3, 0);
    grid->addWidget(suggestLabel, 4, 0);
    grid->addWidget(m_suggestions, 5, 0);
    grid->addLayout(buttons, 2, 1, 4, 1);

    connect(m_suggestions, &QListWidget::currentTextChanged, this, [this](const QString &text) {
        if (!text.isEmpty())
            m_changeTo->setText(text);
    });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_changeTo->setText(item->text());
        finish(Action::Replace);
    });
    connect(m_change, &QPushButton::clicked, this, [this] { finish(Action::Replace); });
    connect(m_changeAll, &QPushButton::clicked, this, [this] { finish(Action::ReplaceAll); });
    connect(m_ignore, &QPushButton::clicked, this, [this] { finish(Action::Ignore); });
    connect(m_ignoreAll, &QPushButton::clicked, this, [this] { finish(Action::IgnoreAll); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { finish(Action::Cancel); });
    resize(460, 340);
}

void SpellCheckDialog::load(const Query &query)
{
    m_answer = { Action::Cancel, {} };
    const QString before = query.text.left(query.position).toHtmlEscaped();
    const QString word = query.word.toHtmlEscaped();
    const QString after = query.text.mid(query.position + query.word.size()).toHtmlEscaped();
    m_context->setHtml(QStringLiteral("<p style=\"white-space: pre-wrap\">%1<a name=\"w\"></a><b><span "
                                      "style=\"color:#c00000\">%2</span></b>%3</p>")
                           .arg(before, word, after));
    m_context->scrollToAnchor(QStringLiteral("w"));
    m_suggestions->clear();
    m_suggestions->addItems(query.suggestions);
    m_changeTo->setText(query.suggestions.isEmpty() ? query.word : query.suggestions.first());
    if (!query.suggestions.isEmpty())
        m_suggestions->setCurrentRow(0);
    m_changeTo->setFocus();
    m_changeTo->selectAll();
}

SpellCheckDialog::Answer SpellCheckDialog::ask(const Query &query)
{
    ProcedureScope procedure(m_trace, QStringLiteral("SpellCheck"));
    load(query);
    exec(); // closing the dialog leaves the answer at Cancel
    return m_answer;
}

void SpellCheckDialog::finish(Action action)
{
    m_answer.action = action;
    m_answer.replacement = m_changeTo->text().trimmed();
    accept();
}

} // namespace bizlib::ui
