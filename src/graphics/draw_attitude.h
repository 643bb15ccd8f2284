#pragma once
// One redraw of the attitude indicator onto its off-screen surface: clear, the horizon image
// turned by the bank and shifted by the pitch, the aircraft symbol on top.
#include <QImage>
#include <QString>

namespace Attitude {

// bankText: degrees to turn the horizon (the negated roll); pitchText: pitch in degrees.
// Each step runs on its own: a text whose number does not fit 32 bits leaves that value at
// 0 (the image unturned, or the window starting at row 0) and the drawing goes on.
void Draw_attitude(QImage& surface, const QImage& picCol, const QString& bankText,
                   const QString& pitchText, QRgb background);

}  // namespace Attitude
