// The level builders: each turns the empty game into the starting position of one level
// (background, banner picture, energy bar, score line, light and every mesh object the level
// will use) and hands the scene to the panel in one setScene.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/GameFields.h"
#include "panel3d/SceneRecords.h"

namespace MyApp {

// The player's record: id 1 at (x, y, z), visible, frame 0, hit time now.
TekuUtility::MeshObject MakePlayerObject(double x, double y, double z,
                                         std::vector<std::string> files, const Timestamp& now);

// A rock's or a saucer's record at (x, 0, z), lit, hit time now.
TekuUtility::MeshObject MakeRockObject(std::int32_t x, std::int32_t z, std::int32_t id,
                                       std::int32_t angle, std::int32_t frame, bool visible,
                                       std::vector<std::string> files, const Timestamp& now);

void BuildLevel1(GameFields& game);
void BuildLevel2(GameFields& game);
void BuildLevel3(GameFields& game);
void BuildLevel4(GameFields& game);

// Builds level 1..4 (nothing for other numbers) at the game clock's now, running `checkFile` on
// every data file before use: the background, then each entry of the player, shot, rock and saucer
// lists.
using DataFileCheck = std::function<void(GameFields&, const std::string&)>;
void BuildLevel(GameFields& game, std::int32_t level, const DataFileCheck& checkFile);

}  // namespace MyApp
