// The window's way of waiting for another writer's lock: the write runs on a
// worker, and when it finds the history locked the dialog's status line says
// so at once, on the window's thread, instead of only "書き込んでいます…".
#pragma once

#include "history/safe_write.h"

class QLabel;

namespace corvalith {

// A wait of the default length whose notice is shown on `status` (through a
// queued call; nothing when `status` is gone by then). Made on the window's
// thread; its notice is called from the worker that writes.
[[nodiscard]] LockWait LockWaitShownOn(QLabel* status);

}  // namespace corvalith
