#pragma once

namespace console::ui {

// Shows the busy cursor over the whole program while work that the user waits for runs: for
// signals that say true when it starts and false when it ends.
void showBusyCursor(bool busy);

} // namespace console::ui
