#include "game/ResetForTests.h"

#include "game/EnemyFire.h"
#include "game/Level1.h"
#include "game/Level2.h"
#include "game/Level34.h"
#include "game/PlayerControl.h"
#include "game/Random.h"

namespace MyApp {

void ResetGameForTests() {
    ResetLevel1ForTesting();
    ResetLevel2ForTesting();
    ResetLevel34ForTesting();
    ResetPlayerControlForTesting();
    ResetEnemyFireForTesting();
    ResetRandomSeededForTesting();
}

}  // namespace MyApp
