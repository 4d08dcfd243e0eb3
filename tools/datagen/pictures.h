// The pictures of the data set and of the executable's resources.
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/image.h"
#include "tools/datagen/models.h"

namespace datagen {

struct NamedImage {
    std::string file;
    Image image;
};

// "sfondo.png", "sfondoFase2.png", "sfondo4liv.png" (640 x 480).
std::vector<NamedImage> Backgrounds();
// The level, level-complete, game-complete and game-over pictures (640 x 480).
std::vector<NamedImage> LevelPictures(TextRenderer& bold, TextRenderer& regular,
                                      const std::vector<NamedMesh>& meshes);
// The 128 x 168 energy-bar sheet: seven 24-pixel bands, band k with 6 - k filled boxes.
Image EnergyBarSheet();
// How the icons show the ship.
inline constexpr double kIconYaw = 180, kIconPitch = 55, kIconZoom = 1.05;
// The ship icon with alpha: the window icon at 48 x 48, the desktop icons at every size.
Image ShipIcon(const Mesh& ship, int size = 48);
// The 164 x 50 About picture with the game's name.
Image AboutPicture(TextRenderer& bold, const Mesh& ship);

}  // namespace datagen
