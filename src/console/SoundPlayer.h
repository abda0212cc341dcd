#pragma once

#include <QString>

namespace console {

// Plays the console's alert sounds (the Play buttons of the Setup tab, the alerts of new
// activity). The rule is the same everywhere: a sound file name that is blank, or names no
// existing file, plays nothing and reports nothing. Playing never waits for the sound to end.
// The program implements start() with the system's sound output, the tests record the calls.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Plays `file` when the rule allows; true when it was handed to start().
    bool play(const QString &file);

protected:
    // `file` is the name of an existing file.
    virtual void start(const QString &file) = 0;
};

} // namespace console
