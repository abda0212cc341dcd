#pragma once

#include "quotes/AttachmentDownloader.h"

namespace quotes {

// The downloader as a detached process: the console does not wait for it.
class DetachedDownloader : public AttachmentDownloader
{
public:
    bool start(const QString &program, const QStringList &arguments) override;
};

} // namespace quotes
