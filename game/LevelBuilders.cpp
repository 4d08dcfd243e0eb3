#include "game/LevelBuilders.h"

#include "game/DataFiles.h"
#include "game/Entities.h"
#include "panel3d/D3DPanelEx.h"
#include "resources/ResourceIds.h"
#include "services/Timestamp.h"
#include "toolkit/Controls.h"

namespace MyApp {
namespace {

using TekuUtility::MeshObject;

struct SaucerPlacement {
    std::int32_t firstId, lastId;
    std::int32_t x, z;
    std::int32_t frame;
    bool visible;
};

// What differs between the levels.
struct LevelLayout {
    const char* background;
    const char* banner;
    std::vector<const char*> playerFiles;
    Point3 playerStart;
    std::int32_t playerAngle;
    const char* shotFile;
    std::int32_t shotAngle;
    const char* lastRockFile;  // the fireball frame
    std::vector<const char*> saucerFiles;
    std::vector<SaucerPlacement> saucers;
};

const std::vector<const char*> kShipFiles = {"\\Nave.x", "\\NaveColpita.x"};
// The saucers of levels 2 to 4.
const std::vector<const char*> kLaterSaucerFiles = {
    "\\uforid1.x", "\\uforidcolpito1.x", "\\ufokryx.x", "\\ufokryx2.x", "\\esplosione.x"};

LevelLayout LayoutOf(std::int32_t level) {
    switch (level) {
        case 1:
            return {"\\sfondo.png",
                    "\\Livello1.bmp",
                    kShipFiles,
                    {0, -2, 0},
                    0,
                    "\\fire.x",
                    0,
                    "\\fire.x",
                    {"\\ufo.x", "\\ufocolpito.x", "\\ufokryx.x", "\\ufokryx2.x", "\\esplosione.x"},
                    {{2001, 2001, 0, 50, 0, true}}};
        case 2:
            return {"\\sfondo.png",
                    "\\Livello2.bmp",
                    {"\\NaveHorz.x", "\\NaveHorzColpita.x"},
                    {-2, -2, 2},
                    85,
                    "\\fireHorz.x",
                    90,
                    "\\fireHorz.x",
                    kLaterSaucerFiles,
                    {{2001, 2007, 0, 2, 0, false}}};
        case 3:
            return {"\\sfondoFase2.png",
                    "\\Livello3.bmp",
                    kShipFiles,
                    {0, -2, 0},
                    0,
                    "\\fire.x",
                    0,
                    "\\fire.x",
                    kLaterSaucerFiles,
                    {{2001, 2001, -3, 50, 2, true},
                     {2002, 2002, 3, 50, 2, true},
                     {2003, 2010, 0, 50, 0, false}}};
        default:
            return {"\\sfondo4liv.png",
                    "\\Livello4.bmp",
                    {"\\astronauta.x", "\\astronautaColpito.x", "\\astronautafire.x"},
                    {0, -3.5, 0},
                    0,
                    "\\fireblack.x",
                    0,
                    "\\fire.x",
                    kLaterSaucerFiles,
                    {{2001, 2001, 3, 50, 2, true}, {2002, 2009, 0, 50, 0, false}}};
    }
}

// The full paths of a file list, each checked right after the list is made.
std::vector<std::string> CheckedFiles(GameFields& game, const std::vector<const char*>& names,
                                      const DataFileCheck& checkFile) {
    std::vector<std::string> files;
    for (const char* name : names) {
        files.push_back(game.dataFolder + name);
    }
    for (const std::string& file : files) {
        checkFile(game, file);
    }
    return files;
}

}  // namespace

MeshObject MakePlayerObject(double x, double y, double z, std::vector<std::string> files,
                            const Timestamp& now) {
    MeshObject player(x, y, z, std::move(files));
    player.id = kPlayerId;
    player.visible = true;
    player.frame = 0;
    player.angle = 0;
    player.userValue = 0;
    player.hitCount = 0;
    player.tag = 3002;
    SetHitTime(player, now);
    return player;
}

MeshObject MakeRockObject(std::int32_t x, std::int32_t z, std::int32_t id, std::int32_t angle,
                          std::int32_t frame, bool visible, std::vector<std::string> files,
                          const Timestamp& now) {
    MeshObject rock;
    rock.id = id;
    rock.x = x;
    rock.y = 0;
    rock.z = z;
    rock.angle = angle;
    rock.frame = frame;
    rock.visible = visible;
    rock.meshFiles = std::move(files);
    rock.lit = true;
    rock.userValue = 0;
    rock.hitCount = 0;
    rock.tag = 3002;
    SetHitTime(rock, now);
    return rock;
}

namespace {

// Every mesh object of the level, each file list checked as it is made: the player, the
// shot, the rocks (also the fireballs), the saucers.
std::vector<MeshObject> SceneObjects(GameFields& game, const LevelLayout& layout,
                                     const DataFileCheck& checkFile, const Timestamp& now) {
    std::vector<MeshObject> objects;
    const Point3 start = layout.playerStart;

    MeshObject player = MakePlayerObject(start.x, start.y, start.z,
                                         CheckedFiles(game, layout.playerFiles, checkFile), now);
    player.lit = true;
    player.angle = layout.playerAngle;
    objects.push_back(std::move(player));

    MeshObject shot;
    shot.id = kShotId;
    shot.x = start.x;
    shot.y = start.y;
    shot.z = start.z;
    shot.angle = layout.shotAngle;
    shot.frame = 0;
    shot.visible = false;
    shot.lit = true;
    shot.meshFiles = CheckedFiles(game, {layout.shotFile}, checkFile);
    objects.push_back(std::move(shot));

    const std::vector<std::string> rockFiles =
        CheckedFiles(game,
                     {"\\asteroide.x", "\\asteroide2.x", "\\asteroideImpatto.x",
                      "\\asteroideImpatto2.x", "\\esplosione.x", layout.lastRockFile},
                     checkFile);
    for (std::int32_t id = kFirstRockId; id <= kLastRockId; ++id) {
        objects.push_back(MakeRockObject(0, 50, id, 0, id <= 1006 ? 0 : 1, false, rockFiles, now));
    }

    const std::vector<std::string> saucerFiles = CheckedFiles(game, layout.saucerFiles, checkFile);
    for (const SaucerPlacement& s : layout.saucers) {
        for (std::int32_t id = s.firstId; id <= s.lastId; ++id) {
            objects.push_back(
                MakeRockObject(s.x, s.z, id, 180, s.frame, s.visible, saucerFiles, now));
        }
    }
    return objects;
}

// The score line: the panel's first text label.
TekuUtility::TextLabel ScoreLabel() {
    TekuUtility::TextLabel score;
    score.text = "Punteggio: 000000";
    score.height = 18;
    score.fontFace = "Arial";
    score.bold = true;
    score.italic = false;
    score.x = 480;
    score.y = 10;
    score.visible = true;
    score.color = 0xfffefefe;
    return score;
}

}  // namespace

void BuildLevel(GameFields& game, std::int32_t level, const DataFileCheck& checkFile) {
    if (level < 1 || level > 4) {
        return;
    }
    const LevelLayout layout = LayoutOf(level);
    TekuUtility::D3DPanelEx* panel = game.panel;
    const Timestamp now = game.clock.Now();

    game.levelPhase = 1;

    const std::string background = game.dataFolder + layout.background;
    checkFile(game, background);
    if (panel) {
        panel->backgroundImageFile = background;
    }
    if (game.banner) {
        game.banner->SetImageFile(game.dataFolder + layout.banner);
    }
    if (panel) {
        panel->spriteSheetResourceId = resources::kEnergyBarSheet;
    }
    // The energy bar, full, at (20, 10).
    const std::vector<TekuUtility::SpriteCell> cells = {{128, 24, 0, 0, 6, 20, 10, 0}};
    if (panel) {
        panel->setLight(-2, -5, 0, 10, 10, 10);
    }

    std::vector<MeshObject> objects = SceneObjects(game, layout, checkFile, now);
    if (panel) {
        panel->setScene({}, {}, cells, std::move(objects), {ScoreLabel()}, {});
    }
    if (level == 2) {
        game.levelStartTime = now;
    }
}

namespace {
void CheckOverMainWindow(GameFields& game, const std::string& path) {
    CheckDataFile(game, path);
}
}  // namespace

void BuildLevel1(GameFields& game) {
    BuildLevel(game, 1, CheckOverMainWindow);
}
void BuildLevel2(GameFields& game) {
    BuildLevel(game, 2, CheckOverMainWindow);
}
void BuildLevel3(GameFields& game) {
    BuildLevel(game, 3, CheckOverMainWindow);
}
void BuildLevel4(GameFields& game) {
    BuildLevel(game, 4, CheckOverMainWindow);
}

}  // namespace MyApp
