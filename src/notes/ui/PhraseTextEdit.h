#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <optional>

namespace bizlib {
class Prompter;
}

namespace notes::ui {

// A multi-line text field that takes phrases dragged from the phrase toolbox (the identifier
// "Phrase" of PhraseDragFormat) by the drop rule: an empty field takes the phrase, otherwise the user chooses Overwrite,
// Append or Cancel. After a change the whole text is selected and the focus moves on, as Tab
// would, so that whatever the window does on leaving the field runs. Other drops (plain text)
// are inserted as usual.
class PhraseTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    using DropHandler = std::function<std::optional<QString>(const QString &current, const QString &phrase)>;

    explicit PhraseTextEdit(bizlib::Prompter *prompter, QWidget *parent = nullptr);

    // Characters the field holds (0: no limit); longer results are cut.
    void setMaxLength(int chars) { m_maxLength = chars; }
    // Replaces the drop rule's question with the owner's own handling (the note editor keeps its
    // record in step this way). The handler returns the field's new text, nullopt to keep it.
    void setDropHandler(DropHandler handler) { m_handler = std::move(handler); }

    // The drop of one phrase, as a drag would do it. True when the text changed; an empty phrase
    // (a drag with no phrase selected) changes nothing.
    bool dropPhrase(const QString &phrase);

Q_SIGNALS:
    void phraseDropped();

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bizlib::Prompter *m_prompter;
    DropHandler m_handler;
    int m_maxLength = 0;
};

} // namespace notes::ui
