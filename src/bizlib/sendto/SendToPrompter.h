#pragma once

#include <QString>

namespace bizlib::sendto {

// What the send-to window asks the user: where the list goes, the file to write, and the printer
// (the print dialog, then the printing itself). The widgets implement it with real dialogs, the
// tests with scripted answers.
class SendToPrompter
{
public:
    enum class Destination { Cancel, File, Email, Printer };

    virtual ~SendToPrompter() = default;
    // The destination for the list `title` of `rows` rows (-1: not counted); Cancel to send nothing.
    virtual Destination chooseDestination(const QString &title, qint64 rows) = 0;
    // The file to save the list in, offered as `suggested`; empty when the user cancelled.
    virtual QString chooseFile(const QString &caption, const QString &suggested) = 0;
    // Asks for the printer and prints `html` (a document of the list); false when the user
    // cancelled the print dialog.
    virtual bool print(const QString &title, const QString &html) = 0;
};

} // namespace bizlib::sendto
