// Splits the body of a .x text file (after its 16-byte header) into tokens with line numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::xfile {

struct Token {
    enum class Kind : std::uint8_t {
        Name,
        Integer,
        Float,
        String,
        Guid,  // text holds what stood between < and >
        LBrace,
        RBrace,
        LBracket,
        RBracket,
        Semicolon,
        Comma,
        Ellipsis,  // "..."
        End,
    };
    Kind kind = Kind::End;
    int line = 0;
    std::string_view text;  // a view into the source text (String: without the quotes)
};

const char* TokenKindName(Token::Kind kind);

// Tokenises text; on a character no token can start with, or an unterminated string or GUID,
// returns false with errorLine and error set. firstLine is the line number of text[0].
bool Tokenize(std::string_view text, int firstLine, std::vector<Token>* tokens, int* errorLine,
              std::string* error);

}  // namespace platform::xfile
