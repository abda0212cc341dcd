#include "console/ui/EffectSoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

namespace console::ui {

void EffectSoundPlayer::start(const QString &file)
{
    if (!m_effect) {
        // The ffmpeg media backend crashes on a machine without an audio device: it is never
        // used, the GStreamer one takes its place.
        const QByteArray backend = qgetenv("QT_MEDIA_BACKEND");
        if (backend.isEmpty() || backend.compare("ffmpeg", Qt::CaseInsensitive) == 0)
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
        m_effect = new QSoundEffect(m_owner);
    }
    const QUrl source = QUrl::fromLocalFile(file);
    m_effect->stop();
    if (m_effect->source() != source)
        m_effect->setSource(source);
    // A sound still loading plays as soon as it is loaded.
    m_effect->play();
}

} // namespace console::ui
