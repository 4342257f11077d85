#pragma once

class QProgressBar;

namespace tw {

// Sets a progress bar's value to be painted with the window's next update.
// QProgressBar paints and flushes a visible change at once, inside the call,
// and a download reports its progress many times a second: this way the bar
// is drawn together with whatever else changed, once per pass of the event
// loop.
void SetProgressValue(QProgressBar& bar, int value);

}  // namespace tw
