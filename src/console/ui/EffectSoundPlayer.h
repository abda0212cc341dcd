#pragma once

#include "console/SoundPlayer.h"

#include <QPointer>

class QObject;
class QSoundEffect;

namespace console::ui {

// Sounds through QSoundEffect, which plays without waiting. The effect is made at the first
// sound, so that a workstation that never plays one never opens the audio output.
class EffectSoundPlayer : public SoundPlayer
{
public:
    explicit EffectSoundPlayer(QObject *owner)
        : m_owner(owner)
    { }

protected:
    void start(const QString &file) override;

private:
    QObject *m_owner;
    QPointer<QSoundEffect> m_effect;
};

} // namespace console::ui
