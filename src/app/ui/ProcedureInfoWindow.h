#pragma once

#include "bizlib/ProcedureScope.h"

#include <QDialog>

namespace config {
class TraceLog;
}

namespace app::ui {

// "Procedure Information": what the trace log knows of the window's procedure, with buttons to
// copy it to the clipboard or write it to the trace.
class ProcedureInfoWindow : public QDialog
{
    Q_OBJECT

public:
    ProcedureInfoWindow(const QString &text, config::TraceLog *trace, QWidget *parent = nullptr);

private:
    bizlib::ProcedureScope m_procedure;
};

} // namespace app::ui
