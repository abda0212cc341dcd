#include "config/WindowsLocale.h"

#include <QHash>

namespace config {

std::optional<QLocale> localeForLcid(qint32 lcid)
{
    static const QHash<qint32, const char *> names
        = { { 1025, "ar_SA" }, { 1028, "zh_TW" }, { 1029, "cs_CZ" }, { 1030, "da_DK" }, { 1031, "de_DE" },
              { 1032, "el_GR" }, { 1033, "en_US" }, { 1034, "es_ES" }, { 1035, "fi_FI" }, { 1036, "fr_FR" },
              { 1037, "he_IL" }, { 1038, "hu_HU" }, { 1040, "it_IT" }, { 1041, "ja_JP" }, { 1042, "ko_KR" },
              { 1043, "nl_NL" }, { 1044, "nb_NO" }, { 1045, "pl_PL" }, { 1046, "pt_BR" }, { 1049, "ru_RU" },
              { 1053, "sv_SE" }, { 1055, "tr_TR" }, { 1081, "hi_IN" }, { 2052, "zh_CN" }, { 2055, "de_CH" },
              { 2057, "en_GB" }, { 2058, "es_MX" }, { 2060, "fr_BE" }, { 2067, "nl_BE" }, { 2070, "pt_PT" },
              { 3079, "de_AT" }, { 3081, "en_AU" }, { 3082, "es_ES" }, { 3084, "fr_CA" }, { 4105, "en_CA" },
              { 4108, "fr_CH" }, { 5129, "en_NZ" }, { 6153, "en_IE" }, { 7177, "en_ZA" }, { 16393, "en_IN" } };
    const char *name = names.value(lcid, nullptr);
    if (!name)
        return std::nullopt;
    return QLocale(QString::fromLatin1(name));
}

} // namespace config
