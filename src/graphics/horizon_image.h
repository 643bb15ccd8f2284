#pragma once
// The horizon image that picCol holds: 200 x 1000 pixels, 8 bits per pixel with a palette.
// Sky above row 500 and ground below it, each a fine texture of three shades, a white
// horizon line with soft edges, and a white pitch ladder with labels every 10 degrees
// (2.7 pixels per degree). It is built by code, so no picture file has to travel with the
// program.
#include <QImage>

namespace Attitude {

// Palette entries of the horizon image.
enum HorizonColour : uchar {
    SkyA,
    SkyB,
    SkyC,
    GroundA,
    GroundB,
    GroundC,
    LadderWhite,
    HorizonSkyEdge,
    HorizonGroundEdge,
    HorizonColourCount
};

// Built once and shared; the image is implicitly shared, so copies are cheap.
[[nodiscard]] const QImage& horizonImage();

}  // namespace Attitude
