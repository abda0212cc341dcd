#pragma once

#include <QString>
#include <QStringList>

namespace quotes {

// Starts the attachment downloader, the program's own `downloader` executable, which copies or
// downloads a record's attachments into the hot folders. It is started detached; the
// console neither waits for it nor uses its result. The program implements start() with a
// detached process; tests check the arguments without running anything.
class AttachmentDownloader
{
public:
    virtual ~AttachmentDownloader() = default;

    // Starts `program` with `arguments` (no shell in between). True when it started.
    virtual bool start(const QString &program, const QStringList &arguments) = 0;

    // Starts the downloader for a stored quote: "company=NN" (the company number with at least two
    // digits), "parenttype=quote", "parentid=" the quote's identifier, "parentref=" its number and
    // revision letter (trimmed, nothing between them).
    bool startForQuote(qint32 companyNo, qint32 quoteId, const QString &number, const QString &revision);

    static QStringList quoteArguments(qint32 companyNo, qint32 quoteId, const QString &number, const QString &revision);
    // The downloader's full path for the running program (see below): it is started by that path,
    // never looked up in PATH, where another program may carry the same name.
    static QString program();
    // The downloader's full path for a program in `programFolder`: installed, in the program's own
    // folder of helpers (WEBCONSOLE_HELPERS_FROM_BIN, relative to the programs' folder:
    // /usr/bin -> /usr/lib/webconsole); in a build folder, where that does not exist, beside the
    // program. When neither exists, the installed place (the start then fails and is reported).
    static QString program(const QString &programFolder);
};

} // namespace quotes
