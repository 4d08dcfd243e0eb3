// What a finished game hands to the high-score table: the result noted when its name form
// opens, and the text registered under the name the player gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace MyApp {

struct GameResult {
    std::int32_t score = 0;
    std::int32_t level = 0;  // the level reached
};

// The name text of a table entry: the name right-padded with blanks to at least 12
// characters, " Livello ", then the level in decimal.
std::string RegistrationText(std::string_view playerName, std::int32_t level);

// The result waiting for its name form. It is captured when the form opens, so the form
// registers the game that opened it even when a new game has started (or ended) since, and
// it is taken once, so no game is registered twice.
//
// Opening a form: only for a positive score; first delete the previous form (its going away
// takes and registers its own game's result), then Capture. Registering: Take.
class PendingResult {
  public:
    // Keeps score and level for the form opening now and returns true; a score of 0 or less
    // opens no form and leaves any kept result alone (false).
    bool Capture(std::int32_t score, std::int32_t reachedLevel);
    // The kept result, handed out once; nothing when none is waiting.
    std::optional<GameResult> Take();
    bool Waiting() const { return result_.has_value(); }

  private:
    std::optional<GameResult> result_;
};

}  // namespace MyApp
