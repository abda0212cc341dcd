#pragma once

namespace config {

// The modal windows open on the monitor's thread: processing and rejection windows, the note
// editor, the webtask purge. A modal window runs an event loop of its own, which still delivers
// the monitor's timer; while any such window is open the monitor's tick does nothing, so that it
// neither resets the lists under the window nor acts on another workstation's notice meanwhile.
//
// Every modal window marks itself open for as long as it runs, with a scope:
//     const config::ModalWindows::Scope open(&ctx.modalWindows);
//     dialog.exec();
class ModalWindows
{
public:
    class [[nodiscard]] Scope
    {
    public:
        // `windows` may be null (a window run without a monitor): then the scope marks nothing.
        explicit Scope(ModalWindows *windows)
            : m_windows(windows)
        {
            if (m_windows)
                ++m_windows->m_open;
        }
        ~Scope()
        {
            if (m_windows)
                --m_windows->m_open;
        }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        ModalWindows *m_windows;
    };

    bool anyOpen() const { return m_open > 0; }

private:
    int m_open = 0;
};

} // namespace config
