#include "graphics/draw_attitude.h"

#include <QPainter>

#include "graphics/attitude_geometry.h"
#include "graphics/rotate_blt.h"

namespace Attitude {

void Draw_attitude(QImage& surface, const QImage& picCol, const QString& bankText,
                   const QString& pitchText, QRgb background) {
    if (surface.isNull()) return;
    const int angle = bankAngle(bankText).value_or(0);
    const int srcY = sourceRow(pitchText).value_or(0);
    surface.fill(background);

    const double SW = surface.width(), SH = surface.height();
    const QPoint centre = surfaceCentre(SW, SH);
    Rotate_blt(&surface, centre.x(), centre.y(), angle, &picCol, 0, srcY, ImageWidth, ImageHeight);

    QPainter painter(&surface);
    for (const SymbolRect& r : aircraftSymbol(SW, SH))
        painter.fillRect(filledPixels(r), r.white ? Qt::white : Qt::black);
}

}  // namespace Attitude
