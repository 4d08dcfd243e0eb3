#include "game/ScoreDisplay.h"

#include <cstdio>

#include "panel3d/D3DPanelEx.h"

namespace MyApp {

std::int32_t EnergyBand(std::int32_t energy) {
    if (energy > 90) {
        return 0;
    }
    if (energy > 70) {
        return 1;
    }
    if (energy > 50) {
        return 2;
    }
    if (energy > 30) {
        return 3;
    }
    if (energy > 10) {
        return 4;
    }
    if (energy > 0) {
        return 5;
    }
    return kEmptyEnergyBand;
}

bool UpdateEnergyBar(GameFields& game) {
    const std::int32_t band = EnergyBand(game.energy);
    if (game.panel != nullptr && !game.panel->spriteCells.empty()) {
        TekuUtility::SpriteCell& cell = game.panel->spriteCells.front();
        cell.row = band;
        cell.row2 = band;
        cell.lastRow = kEmptyEnergyBand;
    }
    return band == kEmptyEnergyBand;
}

std::string ScoreText(const GameFields& game) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06d", static_cast<int>(game.score));
    return std::string("Punteggio: ") + digits;
}

void SetScoreText(GameFields& game, const std::string& text) {
    if (game.panel != nullptr && !game.panel->textLabels.empty()) {
        TekuUtility::TextLabel& label = game.panel->textLabels.front();
        label.text = text;
        label.visible = true;
    }
}

}  // namespace MyApp
