// The MY_GAME_INFO template of the panel's game-info file, as registered before reading or
// writing it.
#pragma once

#include <string>

namespace TekuUtility {

inline constexpr const char* kGameInfoGuid = "AA1308FD-FF98-4F6E-9A55-CD083178672F";

// The template text: thirteen pieces, each but the last followed by six tabs (248 characters).
inline std::string GameInfoTemplateText() {
    static const char* const kPieces[] = {"xof 0302txt 0032 ",
                                          "template MY_GAME_INFO{",
                                          "<AA1308FD-FF98-4f6e-9A55-CD083178672F>",
                                          "STRING GameName;",
                                          "STRING GameMaker;",
                                          "DWORD Version;",
                                          "float x;",
                                          "float y;",
                                          "float z;",
                                          "float px;",
                                          "float py;",
                                          "float pz;",
                                          "}"};
    std::string text;
    for (const char* piece : kPieces) {
        if (!text.empty()) {
            text += "\t\t\t\t\t\t";
        }
        text += piece;
    }
    return text;
}

}  // namespace TekuUtility
