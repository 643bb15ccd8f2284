#pragma once
// Placing the mouse pointer at a screen position; a test records the positions.
#include <QPoint>
#include <functional>

namespace PointerService {
void setPos(const QPoint& p);
QPoint pos();
using Script = std::function<void(const QPoint&)>;
void setScript(Script script);  // empty function restores the real pointer
}  // namespace PointerService
