// The game's meshes, each centred at the origin and sized for the collision margins: ship
// about 1 wide, rocks 0.5 to 0.9, small saucer 1.5, large saucer 3, shots 0.15 wide and over
// 1 long along +z, explosion 1.5, astronaut 1 tall.
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/mesh.h"

namespace datagen {

struct NamedMesh {
    std::string file;  // name in the data folder
    Mesh mesh;
};

// Every mesh of the data set, in the order of the checksum table.
std::vector<NamedMesh> BuildAllMeshes();

}  // namespace datagen
