// The toolkit's one reset: the routing state it keeps between messages (main window, active
// form and panels, mouse tracking) and the last player name go back to a fresh start. A module
// that adds such state adds its reset here, so that every test fixture picks it up.
#pragma once

namespace TekuUtility {

void ResetForTests();

}  // namespace TekuUtility
