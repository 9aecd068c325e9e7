#include "ui/lock_wait_notice.h"

#include <QLabel>
#include <QMetaObject>
#include <memory>
#include <mutex>

#include "commands/history_messages.h"
#include "ui/background_task.h"
#include "ui/qt_text.h"

namespace corvalith {

LockWait LockWaitShownOn(QLabel* status) {
    LockWait wait;
    // The link is cleared under its mutex when the label goes, so the worker
    // never posts to a destroyed object.
    std::shared_ptr<detail::TaskLink> link = detail::LinkTo(status);
    wait.waiting = [link] {
        const std::lock_guard<std::mutex> lock(link->mutex);
        auto* label = static_cast<QLabel*>(link->receiver);
        if (label == nullptr) return;
        QMetaObject::invokeMethod(
            label, [label] { label->setText(ToQString(kMsgHistoryWaiting)); },
            Qt::QueuedConnection);
    };
    return wait;
}

}  // namespace corvalith
