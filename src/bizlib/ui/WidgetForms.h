#pragma once

#include "bizlib/ProcedureTrace.h"
#include "bizlib/forms/RecordForms.h"

#include <QByteArray>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace bizlib::ui {

// Record forms, selection lists and the calendar as modal dialogs (RecordFormDialog,
// SelectionListDialog, CalendarDialog).
//
// With a parent window the dialogs are modal to that window (and the windows above it) only, so
// that windows of their own - the phrase toolbox - still take clicks and drags while one is open;
// without a parent they are application-modal.
class WidgetForms : public forms::RecordForms
{
public:
    // Where the dialogs keep their size and position, by their procedure name ("UpdateQuotes",
    // "SelectQuotes" ...). `load` gives an empty array for a dialog never saved.
    struct GeometryStore
    {
        std::function<QByteArray(const QString &name)> load;
        std::function<void(const QString &name, const QByteArray &geometry)> save;
    };
    // Drops that the forms' text fields take: data of `mimeType`, turned into the field's new text
    // by `apply` from the field's text, the dropped text and the field's width (0: no limit);
    // nullopt leaves the field as it is.
    struct TextDrop
    {
        QString mimeType;
        std::function<std::optional<QString>(const QString &current, const QString &dropped, int maxLength)> apply;
    };

    // The dialogs report their entry and exit to `trace`.
    explicit WidgetForms(QWidget *parent = nullptr, ProcedureTrace *trace = nullptr)
        : m_parent(parent)
        , m_trace(trace)
    { }
    void setParent(QWidget *parent) { m_parent = parent; }
    void setGeometryStore(GeometryStore store) { m_geometry = std::move(store); }
    void setTextDrop(TextDrop drop) { m_drop = std::move(drop); }
    // Called with each record form once it is on screen (and before the user acts on it).
    void setFormShown(std::function<void(QWidget *form)> shown) { m_formShown = std::move(shown); }

    void runForm(forms::FormModel &form) override;
    void runList(forms::SelectionList &list) override;
    std::optional<QDate> pickDate(const QString &caption, const QDate &initial) override;

private:
    // Modal as told above, at the saved geometry; shows and runs `dialog`, then saves its geometry.
    int run(QDialog &dialog, const QString &name);

    QWidget *m_parent;
    ProcedureTrace *m_trace;
    GeometryStore m_geometry;
    TextDrop m_drop;
    std::function<void(QWidget *)> m_formShown;
};

} // namespace bizlib::ui
