#pragma once

#include "config/IniFile.h"

#include <QString>
#include <algorithm>
#include <functional>
#include <limits>
#include <type_traits>

namespace config {

// Ties one INI key to one member of a settings struct `S`, so that a whole struct is read and
// written from one table of its keys. Made by iniKey():
//   texts (QString):        `size` is the width (0: unlimited)
//   decimals:               `size` is the number of places
//   numbers (qint32, qint16, quint8): the value is kept within [minimum, maximum] and within
//                           the member's own range
//   flags (bool):           any number other than 0 is set; written as 0 or 1
template<class S> struct IniBinding
{
    const char *section = nullptr;
    const char *key = nullptr;
    // Reads the key into the target, taking the default from the same member of the defaults.
    std::function<void(const IniFile &ini, S &target, const S &defaults)> read;
    // The member's value as it is written to the file.
    std::function<QString(const S &source)> format;
    // Sets the member from a text, by the same rules as reading it from the file.
    std::function<void(S &target, const QString &value)> assign;
    // The member itself when it is a text, else nullptr.
    QString S::*text = nullptr;

    QString sectionName() const { return QString::fromLatin1(section); }
    QString keyName() const { return QString::fromLatin1(key); }
    IniFile::Entry entry(const S &source) const { return { sectionName(), keyName(), format(source) }; }
};

template<class S, class T>
IniBinding<S> iniKey(const char *section, const char *key, T S::*member, int size = 0,
    qint64 minimum = std::numeric_limits<qint64>::min(), qint64 maximum = std::numeric_limits<qint64>::max())
{
    IniBinding<S> b;
    b.section = section;
    b.key = key;
    const QString sec = QString::fromLatin1(section);
    const QString name = QString::fromLatin1(key);
    if constexpr (std::is_same_v<T, QString>) {
        b.text = member;
        b.read = [=](const IniFile &ini, S &t, const S &d) { t.*member = ini.text(sec, name, d.*member, size); };
        b.format = [=](const S &s) { return s.*member; };
        b.assign = [=](S &t, const QString &v) { t.*member = IniFile::cut(v, size); };
    } else if constexpr (std::is_same_v<T, bizlib::Decimal>) {
        b.read = [=](const IniFile &ini, S &t, const S &d) { t.*member = ini.decimal(sec, name, d.*member, size); };
        b.format = [=](const S &s) { return (s.*member).toString(size); };
        b.assign = [=](S &t, const QString &v) { t.*member = bizlib::Decimal::fromString(v).rescaled(size); };
    } else if constexpr (std::is_same_v<T, bool>) {
        b.read = [=](const IniFile &ini, S &t, const S &d) { t.*member = ini.number(sec, name, d.*member) != 0; };
        b.format = [=](const S &s) { return s.*member ? QStringLiteral("1") : QStringLiteral("0"); };
        b.assign = [=](S &t, const QString &v) { t.*member = IniFile::parseNumber(v) != 0; };
    } else {
        static_assert(std::is_integral_v<T>, "unsupported member type");
        const qint64 low = std::max<qint64>(minimum, std::numeric_limits<T>::min());
        const qint64 high = std::min<qint64>(maximum, std::numeric_limits<T>::max());
        b.read = [=](const IniFile &ini, S &t, const S &d) {
            t.*member = static_cast<T>(std::clamp<qint64>(ini.number(sec, name, d.*member), low, high));
        };
        b.format = [=](const S &s) { return QString::number(s.*member); };
        b.assign = [=](S &t, const QString &v) {
            t.*member = static_cast<T>(std::clamp<qint64>(IniFile::parseNumber(v), low, high));
        };
    }
    return b;
}

} // namespace config
