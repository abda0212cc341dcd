#pragma once

#include <QObject>
#include <QString>

class QSplitter;
class QTimer;

namespace bizlib {
class ProcedureTrace;
}

namespace console::ui {

// Keeps a splitter's positions in the window-settings file, under the window's procedure name
// and a key of its own: restore() puts the saved positions back, and the positions the user
// drags to are saved once the dragging has stopped for half a second (or at once when the
// splitter is hidden or the program ends before that).
class SplitterMemory : public QObject
{
    Q_OBJECT

public:
    SplitterMemory(QSplitter *splitter, QString windowIni, QString procedure, QString key,
        bizlib::ProcedureTrace *trace = nullptr);
    ~SplitterMemory() override;

    // False when nothing usable is saved (the splitter is left as it is).
    bool restore();
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSplitter *m_splitter;
    QString m_windowIni;
    QString m_procedure;
    QString m_key;
    bizlib::ProcedureTrace *m_trace;
    QTimer *m_pending;
};

} // namespace console::ui
