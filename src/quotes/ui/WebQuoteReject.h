#pragma once

#include "bizlib/ProcedureScope.h"

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace bizlib {
class Prompter;
}
namespace config {
struct AppContext;
}
namespace notes::ui {
class PhraseTextEdit;
}

namespace quotes {
class RequestRejection;
struct RejectionVariant;
} // namespace quotes

namespace quotes::ui {

// The rejection window of a web quote request (`WebQuoteReject`), and with its variant's
// differences of a web order (`WebOrderReject`) and a sign-up (`WebSignupReject`): the header
// with its icon, the prompt, the "Rejection" phrases with Reset, the reason, Spelling, Cancel and
// OK. It claims the request once it has opened and leaves through RequestRejection: OK closes
// only when the rejection was queued; Cancel, Esc and the close box give the claim back. Its size
// and position are kept under the variant's window name.
class WebQuoteReject : public QDialog
{
    Q_OBJECT

public:
    // `windowIni`: the window-settings file (empty: the size is not kept); `trace`: where the window
    // reports its entry and exit.
    WebQuoteReject(RequestRejection &rejection, bizlib::Prompter *prompter, const QString &windowIni,
        QWidget *parent = nullptr, bizlib::ProcedureTrace *trace = nullptr);

    // Rejects `request` (just read again by the caller) in the window of `variant`, with the
    // program's phrase form and spelling dialog. Returns the response.
    static bizlib::forms::Response run(config::AppContext &ctx, const RejectionVariant &variant,
        const bizlib::Record &request, QWidget *parent = nullptr);

    QComboBox *phraseCombo() const { return m_phrases; }
    notes::ui::PhraseTextEdit *commentsEdit() const { return m_comments; }
    QPushButton *okButton() const { return m_ok; }
    // OK as the button does it.
    void pressOk();
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void opened();
    void fillPhrases(int current = -1);
    void phraseChosen(int index);
    void resetPhrase();
    // The Spelling button (`key` false) or F7 (`key` true).
    void checkSpelling(bool key);
    void showComments();

    bizlib::ProcedureScope m_procedure;
    bizlib::ProcedureTrace *m_trace = nullptr;
    RequestRejection &m_rejection;
    QString m_windowIni;
    QComboBox *m_phrases = nullptr;
    notes::ui::PhraseTextEdit *m_comments = nullptr;
    QPushButton *m_ok = nullptr;
    bool m_opened = false;
    bool m_closing = false;
    bool m_filling = false;
};

} // namespace quotes::ui
