#pragma once

#include <QLocale>
#include <optional>

namespace config {

// The locale that a Windows locale identifier ("Locale" of the system configuration, e.g. 2057 for
// English as written in the United Kingdom) names; nullopt for 0 and for identifiers not known here,
// which leave the system's own locale in place.
std::optional<QLocale> localeForLcid(qint32 lcid);

} // namespace config
