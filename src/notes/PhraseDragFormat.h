#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <memory>

namespace notes {

// How a phrase travels from the phrase toolbox to a text field. Both sides include this header.
//
// The toolbox offers a drag under the identifiers "Phrase" and "Phrase01" to "Phrase06"; a field
// that takes phrases accepts the identifier "Phrase" (and may accept others besides). Each
// identifier is a MIME type of its own whose data is the phrase's text in UTF-8, so a field that
// does not list an identifier never sees the drag as something it could take.
namespace PhraseDragFormat {

// The identifier every field that takes phrases accepts.
inline QString acceptedIdentifier()
{
    return QStringLiteral("Phrase");
}

// The identifiers the toolbox's list offers, in order.
inline const QStringList &sourceIdentifiers()
{
    static const QStringList ids { QStringLiteral("Phrase"), QStringLiteral("Phrase01"), QStringLiteral("Phrase02"),
        QStringLiteral("Phrase03"), QStringLiteral("Phrase04"), QStringLiteral("Phrase05"), QStringLiteral("Phrase06") };
    return ids;
}

// "Phrase" -> "application/x-webconsole-phrase", "Phrase01" -> "application/x-webconsole-phrase01".
inline QString mimeType(const QString &identifier)
{
    return QStringLiteral("application/x-webconsole-") + identifier.toLower();
}

// The drag data of a phrase under every identifier the toolbox offers.
inline std::unique_ptr<QMimeData> mimeData(const QString &phraseText)
{
    auto data = std::make_unique<QMimeData>();
    const QByteArray utf8 = phraseText.toUtf8();
    for (const QString &id : sourceIdentifiers())
        data->setData(mimeType(id), utf8);
    return data;
}

// Whether a drag carries a phrase under `identifier`.
inline bool carries(const QMimeData *data, const QString &identifier = acceptedIdentifier())
{
    return data && data->hasFormat(mimeType(identifier));
}

// The phrase's text of a drag (empty when it carries none under `identifier`).
inline QString phraseText(const QMimeData *data, const QString &identifier = acceptedIdentifier())
{
    return carries(data, identifier) ? QString::fromUtf8(data->data(mimeType(identifier))) : QString();
}

} // namespace PhraseDragFormat
} // namespace notes
