#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace config::windows1252 {

// The ANSI code page the web monitor service writes its files in on Windows. The five bytes the
// code page leaves undefined (81, 8D, 8F, 90, 9D) stand for the control characters of the same
// number, as Windows reads them, so every byte reads as one character and writes back as itself.
QString decode(const QByteArray &bytes);
// The bytes of `text`; nullopt when a character has no byte in the code page.
std::optional<QByteArray> encode(const QString &text);

} // namespace config::windows1252
