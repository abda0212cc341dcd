#pragma once

#include <QProcessEnvironment>
#include <QStringList>

namespace config {

// Where the workstation INI file (the business system's local INI file, which also holds
// the console's "Web" and "WebConsole" sections) is, first match wins:
//  1. the command-line option `--ini FILE` or `--ini=FILE` in `args` (args[0], the program,
//     is skipped; given more than once, the last one counts);
//  2. the environment variable WEBCONSOLE_INI, when not empty;
//  3. the XDG configuration folder: $XDG_CONFIG_HOME/webconsole/webconsole.ini when
//     XDG_CONFIG_HOME is an absolute path, otherwise $HOME/.config/webconsole/webconsole.ini,
//     otherwise the generic configuration folder Qt reports for the user.
// A relative FILE is taken from the current folder. The result is an absolute path; the file
// and its folder need not exist (the first write creates them).
QString resolveLocalIniPath(const QStringList &args, const QProcessEnvironment &env);

} // namespace config
