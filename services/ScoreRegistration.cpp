#include "services/ScoreRegistration.h"

namespace MyApp {

std::string RegistrationText(std::string_view playerName, std::int32_t level) {
    std::string text(playerName);
    if (text.size() < 12) {
        text.append(12 - text.size(), ' ');
    }
    return text + " Livello " + std::to_string(level);
}

bool PendingResult::Capture(std::int32_t score, std::int32_t reachedLevel) {
    if (score <= 0) {
        return false;
    }
    result_ = GameResult{score, reachedLevel};
    return true;
}

std::optional<GameResult> PendingResult::Take() {
    std::optional<GameResult> taken = result_;
    result_.reset();
    return taken;
}

}  // namespace MyApp
