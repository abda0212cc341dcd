#pragma once

#include <QString>
#include <QStringList>

namespace notes {

// What the note editor and the attachment pane ask of the desktop: file and folder selection dialogs,
// opening a document or address with the program the desktop associates with it, and the
// clipboard. The widgets implement it with Qt's dialogs and services, the tests with a script.
class Desktop
{
public:
    // A file filter: its name and its patterns ("PDF file(s)", "*.pdf").
    struct Filter
    {
        QString name;
        QString patterns;
    };

    virtual ~Desktop() = default;
    // The files chosen (full paths), none when cancelled.
    virtual QStringList chooseFiles(const QString &title, const QList<Filter> &filters, bool several) = 0;
    // The folder chosen (opening on `start` when it exists), empty when cancelled.
    virtual QString chooseFolder(const QString &title, const QString &start) = 0;
    // Opens a file (a path) or an address (a URL) as the desktop does; false when it cannot.
    virtual bool open(const QString &target) = 0;
    virtual void setClipboardText(const QString &text) = 0;
};

} // namespace notes
