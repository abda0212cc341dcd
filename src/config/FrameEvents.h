#pragma once

namespace config {

// What the windows ask of the application frame: the numbered events of WindowEvents.h (the
// phrase toolbox requests 6024 and 6034 among them). The frame implements it; a test passes a fake.
class FrameEvents
{
public:
    virtual ~FrameEvents() = default;
    virtual void postEvent(int event) = 0;
};

} // namespace config
