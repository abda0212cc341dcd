#include "console/SoundPlayer.h"

#include "config/PathText.h"

#include <QFileInfo>

namespace console {

bool SoundPlayer::play(const QString &file)
{
    // Names held in fixed-width fields may carry trailing blanks.
    const QString name = config::clipRight(file);
    if (name.isEmpty() || !QFileInfo(name).isFile())
        return false;
    start(name);
    return true;
}

} // namespace console
