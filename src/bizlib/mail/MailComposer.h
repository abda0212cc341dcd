#pragma once

#include "bizlib/mail/MailDraft.h"

namespace bizlib::mail {

// The compose dialog that EMAILDIALOG shows first when the e-mail record asks for it
// (SEND:Dialog 1). The widgets implement it with a real dialog, the tests with a scripted one.
class MailComposer
{
public:
    virtual ~MailComposer() = default;

    // Shows the draft for editing. True when the user chose to send (the draft then holds the
    // edited recipients, subject and body); false when the user cancelled.
    virtual bool compose(MailDraft &draft) = 0;
};

} // namespace bizlib::mail
