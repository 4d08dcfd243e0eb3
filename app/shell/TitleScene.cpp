#include "app/shell/TitleScene.h"

#include <cstdio>
#include <string>
#include <vector>

#include "game/DataFiles.h"
#include "panel3d/D3DPanelEx.h"

namespace MyApp {
namespace {

constexpr platform::D3DCOLOR kListColor = platform::D3DCOLOR_ARGB(255, 254, 254, 0);

TekuUtility::TextLabel ListLabel(const std::string& text, bool bold, int x, int y) {
    TekuUtility::TextLabel label;
    label.text = text;
    label.fontFace = "Consolas";
    label.height = 18;
    label.bold = bold;
    label.italic = false;
    label.x = x;
    label.y = y;
    label.visible = true;
    label.color = kListColor;
    return label;
}

}  // namespace

void BuildTitleScene(GameFields& game) {
    TekuUtility::D3DPanelEx* panel = game.panel;
    if (!panel) {
        return;
    }
    const std::string background = game.dataFolder + "\\sfondo.png";
    CheckDataFile(game, background);
    panel->backgroundImageFile = background;

    panel->setLight(-2, -5, 0, 10, 10, 10);

    const std::vector<std::string> shipFiles = {game.dataFolder + "\\Nave.x"};
    for (const std::string& file : shipFiles) {
        CheckDataFile(game, file);
    }
    TekuUtility::MeshObject ship;
    ship.id = 1;
    ship.tag = 3002;
    ship.x = 0;
    ship.y = -2;
    ship.z = 0;
    ship.angle = 0;
    ship.frame = 0;
    ship.meshFiles = shipFiles;
    ship.visible = true;
    ship.lit = true;
    std::vector<TekuUtility::MeshObject> meshes = {ship};

    std::vector<TekuUtility::TextLabel> labels;
    if (!game.highScores.empty()) {
        labels.push_back(ListLabel("TOP TEN", true, 120, 100));
        // One label per entry down to the panel's bottom edge: labels below it could never
        // show, and a table edited by hand may hold millions of lines.
        int k = 1;
        for (const std::string& entry : game.highScores) {
            if (100 + 25 * k >= panel->height) {
                break;
            }
            char number[16];
            std::snprintf(number, sizeof number, "%02d", k);
            labels.push_back(
                ListLabel(number + std::string("  ") + entry, false, 10, 100 + 25 * k));
            ++k;
        }
    }

    std::vector<TekuUtility::Text3D> texts = {
        TekuUtility::Text3D("Kryx Space", 40, "Tahoma", true, false, -2, 2, -3,
                            platform::RGB(0, 192, 255)),
        TekuUtility::Text3D("2021", 18, "Tahoma", true, false, 1, 1.5, -3,
                            platform::RGB(255, 0, 0)),
    };

    panel->setScene({}, {}, {}, std::move(meshes), std::move(labels), std::move(texts));
}

}  // namespace MyApp
