#pragma once

#include "config/ConsoleSettings.h"
#include "console/CompanyDefaults.h"

#include <QList>
#include <QVariant>
#include <functional>

namespace console {

// What the Setup tab edits: the console settings, the one system configuration key of the tab
// ("StartupWebConsole") and the company defaults' web and gateway fields.
struct SetupValues
{
    config::ConsoleSettings settings;
    qint16 startupWebConsole = 0;
    CompanyDefaults defaults;

    bool operator==(const SetupValues &) const = default;
};

// One control of the Setup tab, named after what it edits ("INI:WEBURL", "DEF:WEBMARKUP"), in
// window order. Values travel as QVariant: texts and decimals as QString, flags as bool,
// numbers and dates (day numbers) as int.
struct SetupField
{
    enum class Kind { Text, Flag, Number, Decimal, Date };

    QString name;
    Kind kind = Kind::Text;
    int width = 0; // texts: the longest text kept (0: any); decimals: the places
    qint32 minimum = 0; // numbers
    qint32 maximum = 0;
    // A change raises the save question when leaving the tab: the controls from the website
    // address to the web-history date (General, Options and Defaults up to the layouts).
    bool raisesSaveQuestion = false;
    std::function<QVariant(const SetupValues &)> get;
    // Stores a value the way the control hands it over (texts cut, numbers kept in range).
    std::function<void(SetupValues &, const QVariant &)> set;

    static const QList<SetupField> &all();
    // nullptr for a name that is not a field of the tab.
    static const SetupField *find(const QString &name);
};

} // namespace console
