// Built into the analysis tests under ThreadSanitizer only. It tells the
// sanitizer that a functor posted to another thread with
// QMetaObject::invokeMethod happens before that functor runs there. Qt orders
// the two through its event queue's lock, but Qt's libraries are not
// instrumented, so the sanitizer cannot see that lock and would report what
// the posting thread wrote before posting as a race with what the functor
// reads. The posting side releases in invokeMethodImpl (defined here, so the
// program's calls come here and then go on to Qt's own); the receiving side
// acquires in an application event filter, before any posted call is run.
#include <dlfcn.h>
#include <sanitizer/tsan_interface.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace {

char handOff;  // the address the two sides synchronise on

class HandOffFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MetaCall) __tsan_acquire(&handOff);
        return false;
    }
};

void InstallHandOffFilter() { qApp->installEventFilter(new HandOffFilter(qApp)); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallHandOffFilter)

bool QMetaObject::invokeMethodImpl(QObject* object, QtPrivate::QSlotObjectBase* slot,
                                   Qt::ConnectionType type, void* ret) {
    using Real = bool (*)(QObject*, QtPrivate::QSlotObjectBase*, Qt::ConnectionType, void*);
    static const Real real = reinterpret_cast<Real>(
        ::dlvsym(RTLD_NEXT,
                 "_ZN11QMetaObject16invokeMethodImplEP7QObjectPN9QtPrivate15QSlotObjectBaseEN2Qt14"
                 "ConnectionTypeEPv",
                 "Qt_6"));
    __tsan_release(&handOff);
    return real(object, slot, type, ret);
}
