// The energy bar (one sprite cell showing a band of the energy picture) and the score line
// (the panel's first text label).
#pragma once

#include <cstdint>
#include <string>

#include "game/GameFields.h"

namespace MyApp {

inline constexpr std::int32_t kEmptyEnergyBand = 6;

// The band of the energy picture for an energy value: 0 (full) above 90 .. 6 (empty) at 0
// or below.
std::int32_t EnergyBand(std::int32_t energy);

// Shows the band of the current energy in the panel's first sprite cell; true when the bar
// is empty.
bool UpdateEnergyBar(GameFields& game);

// "Punteggio: " and the score with at least six digits, zero-padded.
std::string ScoreText(const GameFields& game);

// Puts the text into the panel's first text label and shows it.
void SetScoreText(GameFields& game, const std::string& text);

}  // namespace MyApp
