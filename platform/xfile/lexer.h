// Splits the body of a .x text file (after its 16-byte header) into tokens with line numbers,
// one at a time, so that a reader never holds more than the token it looks at.
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

// Reads tokens from text one by one. After the last token every call gives End.
class Lexer {
  public:
    // firstLine is the line number of text[0].
    Lexer(std::string_view text, int firstLine) : text_(text), line_(firstLine) {}

    // The next token; false on a character no token can start with, or an unterminated string
    // or GUID, with ErrorLine() and Error() set.
    bool Next(Token* token);
    int ErrorLine() const { return errorLine_; }
    const std::string& Error() const { return error_; }

  private:
    void SkipBlanksAndComments();
    bool Punctuation(Token* token);
    bool Delimited(char close, Token::Kind kind, const char* unterminated, Token* token);
    bool Number(Token* token);
    bool Fail(std::string message);
    bool FailOnByte(char c);
    Token Make(Token::Kind kind, std::size_t start, std::size_t length) const {
        return Token{kind, line_, text_.substr(start, length)};
    }

    std::string_view text_;
    std::size_t i_ = 0;
    int line_;
    int errorLine_ = 0;
    std::string error_;
};

// Counts the tokens of text (End included), or returns false as Lexer::Next does.
bool CountTokens(std::string_view text, int firstLine, std::size_t* count, int* errorLine,
                 std::string* error);

// Tokenises text; on a character no token can start with, or an unterminated string or GUID,
// returns false with errorLine and error set. firstLine is the line number of text[0].
bool Tokenize(std::string_view text, int firstLine, std::vector<Token>* tokens, int* errorLine,
              std::string* error);

}  // namespace platform::xfile
