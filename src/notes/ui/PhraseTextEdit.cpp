#include "notes/ui/PhraseTextEdit.h"

#include "notes/PhraseDragFormat.h"
#include "notes/PhraseDrop.h"

#include <QKeyEvent>
#include <QMimeData>

namespace notes::ui {

PhraseTextEdit::PhraseTextEdit(bizlib::Prompter *prompter, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_prompter(prompter)
{
    setTabChangesFocus(true);
}

bool PhraseTextEdit::dropPhrase(const QString &phrase)
{
    // A drag from the toolbox without a phrase selected carries no text: nothing is dropped.
    if (isReadOnly() || PhraseDrop::clipped(phrase).isEmpty())
        return false;
    std::optional<QString> text;
    if (m_handler)
        text = m_handler(toPlainText(), phrase);
    else if (m_prompter)
        text = PhraseDrop::apply(toPlainText(), phrase, *m_prompter, m_maxLength);
    if (!text)
        return false;
    setPlainText(m_maxLength > 0 ? text->left(m_maxLength) : *text);
    selectAll();
    document()->setModified(true);
    Q_EMIT phraseDropped();
    focusNextChild();
    return true;
}

bool PhraseTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return PhraseDragFormat::carries(source) || QPlainTextEdit::canInsertFromMimeData(source);
}

void PhraseTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (PhraseDragFormat::carries(source)) {
        dropPhrase(PhraseDragFormat::phraseText(source));
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void PhraseTextEdit::keyPressEvent(QKeyEvent *event)
{
    // F7 belongs to the window (the spelling check), not to the text.
    if (event->key() == Qt::Key_F7) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

} // namespace notes::ui
