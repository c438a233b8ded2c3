#pragma once

class QWidget;

// The drawing memory of a window: a screen-sized window needs several megabytes, which the
// system hands out page by page as the first paint writes them.
namespace WindowMemory {

// Makes the memory of the shown top-level `window` at its size now and has a worker fault it
// in while the window is being mapped, so that the first paint does not wait for the pages.
// Does nothing for a hidden or empty window, or where the memory is made already.
void prepare(QWidget *window);

} // namespace WindowMemory
