// Loading the compiled-in images.
#include "ui/window_resources.h"

#include <QString>

// The resources sit in a static library, whose registration object would
// otherwise be dropped by the linker: register them explicitly, once. (At
// global scope, where Q_INIT_RESOURCE has to be used.)
static void EnsureResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(corvix);
        return true;
    }();
    (void)registered;
}

namespace corvalith {

QIcon LoadApplicationIcon() {
    EnsureResources();
    return QIcon(QStringLiteral(":/res/icon.png"));
}

QPixmap LoadLogoBitmap() {
    EnsureResources();
    return QPixmap(QStringLiteral(":/res/logo.png"));
}

QPixmap LoadBackgroundBitmap() {
    EnsureResources();
    return QPixmap(QStringLiteral(":/res/background.png"));
}

}  // namespace corvalith
