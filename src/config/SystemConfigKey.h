#pragma once

#include "config/IniBinding.h"
#include "config/SystemConfig.h"

#include <QList>

namespace config {

// One key of the system configuration. `globalDataFile` is set for the keys whose default is
// built from "GlobalData": an empty name means the "GlobalData" folder itself, any other name
// the file of that name in it.
struct SystemConfigKey
{
    IniBinding<SystemConfig> ini;
    const char *globalDataFile = nullptr;

    // Every key, section by section, in the order they are read and written.
    static const QList<SystemConfigKey> &all();
};

} // namespace config
