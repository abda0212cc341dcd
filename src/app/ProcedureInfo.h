#pragma once

#include <QString>

namespace app {

// The text of the "Procedure Information" window: one line per item, label, tab, value.
QString procedureInfoText(const QString &procedure, const QString &programPath);

} // namespace app
