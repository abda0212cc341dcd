#pragma once

namespace config {

// The numbered events the program's windows send each other. The numbers are kept as the
// protocol between the windows is written in them.
enum WindowEvent : int {
    NewQuotes = 1524,         // new web quote requests, the monitor played its own sound
    NewQuotesWithSound = 1525, // ... no sound file configured: the balloon sounds
    NewOrders = 1526,
    NewOrdersWithSound = 1527,
    NewSignups = 1624,
    NewSignupsWithSound = 1625,
    WebmonStalled = 1725, // webtasks wait and the web monitor has started none for too long
    StartOrderPhrases = 6024, // phrase toolbox for "Production"
    StartQuotePhrases = 6034, // phrase toolbox for "Estimating"
    VisibleOnDesktop = 1706,
    MonitorTick = 1824,
    CloseWithoutAsking = 2024,
    OpenDummyWindow = 561,
};

} // namespace config
