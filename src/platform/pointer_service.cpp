#include "platform/pointer_service.h"

#include <QCursor>

namespace {
struct State {
    PointerService::Script script;
    QPoint last;
};
State& state() {
    static State s;
    return s;
}
}  // namespace

namespace PointerService {

void setPos(const QPoint& p) {
    if (state().script) {
        state().last = p;
        state().script(p);
        return;
    }
    QCursor::setPos(p);
}

// With a script installed the pointer is where it was last placed.
QPoint pos() {
    return state().script ? state().last : QCursor::pos();
}

void setScript(Script script) {
    state().script = std::move(script);
    state().last = QPoint();
}

}  // namespace PointerService
