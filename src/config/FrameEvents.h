#pragma once

namespace config {

// What the windows ask of the application frame: the numbered events of WindowEvents.h (the
// phrase toolbox requests 6024 and 6034 among them), and closing the phrase toolbox when a
// processing window ends. The frame implements it; a test passes a fake.
class FrameEvents
{
public:
    virtual ~FrameEvents() = default;
    virtual void postEvent(int event) = 0;
    // Closes the running phrase toolbox, if any (the toolbox clears its thread number itself).
    virtual void closePhraseToolbox() = 0;
};

} // namespace config
