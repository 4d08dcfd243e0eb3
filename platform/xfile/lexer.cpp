#include "platform/xfile/lexer.h"

namespace platform::xfile {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c) || c == '-' || c == '.';
}

}  // namespace

const char* TokenKindName(Token::Kind kind) {
    switch (kind) {
        case Token::Kind::Name:
            return "a name";
        case Token::Kind::Integer:
            return "an integer";
        case Token::Kind::Float:
            return "a number";
        case Token::Kind::String:
            return "a string";
        case Token::Kind::Guid:
            return "a GUID";
        case Token::Kind::LBrace:
            return "'{'";
        case Token::Kind::RBrace:
            return "'}'";
        case Token::Kind::LBracket:
            return "'['";
        case Token::Kind::RBracket:
            return "']'";
        case Token::Kind::Semicolon:
            return "';'";
        case Token::Kind::Comma:
            return "','";
        case Token::Kind::Ellipsis:
            return "'...'";
        case Token::Kind::End:
            return "the end of the file";
    }
    return "?";
}

void Lexer::SkipBlanksAndComments() {
    const std::size_t n = text_.size();
    while (i_ < n) {
        const char c = text_[i_];
        if (c == '\n') {
            ++line_;
            ++i_;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i_;
        } else if (c == '#' || (c == '/' && i_ + 1 < n && text_[i_ + 1] == '/')) {
            while (i_ < n && text_[i_] != '\n') {
                ++i_;
            }
        } else {
            return;
        }
    }
}

bool Lexer::Punctuation(Token* token) {
    Token::Kind kind;
    switch (text_[i_]) {
        case '{':
            kind = Token::Kind::LBrace;
            break;
        case '}':
            kind = Token::Kind::RBrace;
            break;
        case '[':
            kind = Token::Kind::LBracket;
            break;
        case ']':
            kind = Token::Kind::RBracket;
            break;
        case ';':
            kind = Token::Kind::Semicolon;
            break;
        case ',':
            kind = Token::Kind::Comma;
            break;
        default:
            return false;
    }
    *token = Make(kind, i_++, 1);
    return true;
}

// A string "..." or a GUID <...> on one line; the token holds what stands between.
bool Lexer::Delimited(char close, Token::Kind kind, const char* unterminated, Token* token) {
    const std::size_t start = ++i_;
    while (i_ < text_.size() && text_[i_] != close && text_[i_] != '\n') {
        ++i_;
    }
    if (i_ >= text_.size() || text_[i_] != close) {
        return Fail(unterminated);
    }
    *token = Make(kind, start, i_ - start);
    ++i_;
    return true;
}

bool Lexer::Number(Token* token) {
    const std::size_t n = text_.size(), start = i_;
    bool isFloat = false;
    auto digitsFrom = [&](std::size_t* at) {
        std::size_t count = 0;
        while (*at < n && IsDigit(text_[*at])) {
            ++*at;
            ++count;
        }
        return count;
    };
    if (text_[i_] == '-' || text_[i_] == '+') {
        ++i_;
    }
    std::size_t digits = digitsFrom(&i_);
    if (i_ < n && text_[i_] == '.') {
        isFloat = true;
        ++i_;
        digits += digitsFrom(&i_);
    }
    if (digits == 0) {
        return Fail(std::string("unexpected character '") + text_[start] + "'");
    }
    if (i_ < n && (text_[i_] == 'e' || text_[i_] == 'E')) {
        std::size_t j = i_ + 1;
        if (j < n && (text_[j] == '-' || text_[j] == '+')) {
            ++j;
        }
        if (digitsFrom(&j) > 0) {
            isFloat = true;
            i_ = j;
        }
    }
    // A number glued to letters ("1.5f", "12abc") is not a number of this format.
    if (i_ < n && IsNameStart(text_[i_])) {
        return Fail("malformed number '" + std::string(text_.substr(start, i_ - start + 1)) + "'");
    }
    *token = Make(isFloat ? Token::Kind::Float : Token::Kind::Integer, start, i_ - start);
    return true;
}

bool Lexer::Fail(std::string message) {
    errorLine_ = line_;
    error_ = std::move(message);
    return false;
}

bool Lexer::FailOnByte(char c) {
    if (c == '\0') {
        return Fail("unexpected NUL byte (not a text file?)");
    }
    const unsigned char uc = static_cast<unsigned char>(c);
    if (uc < 0x20 || uc >= 0x7f) {
        const char* hex = "0123456789ABCDEF";
        const char buf[] = {'0', 'x', hex[uc >> 4], hex[uc & 15], '\0'};
        return Fail(std::string("unexpected byte ") + buf);
    }
    return Fail(std::string("unexpected character '") + c + "'");
}

bool Lexer::Next(Token* token) {
    SkipBlanksAndComments();
    const std::size_t n = text_.size();
    if (i_ >= n) {
        *token = Token{Token::Kind::End, line_, {}};
        return true;
    }
    const char c = text_[i_];
    if (Punctuation(token)) {
        return true;
    }
    if (c == '"') {
        return Delimited('"', Token::Kind::String, "unterminated string", token);
    }
    if (c == '<') {
        return Delimited('>', Token::Kind::Guid, "unterminated GUID (missing '>')", token);
    }
    if (c == '.' && i_ + 2 < n && text_[i_ + 1] == '.' && text_[i_ + 2] == '.') {
        *token = Make(Token::Kind::Ellipsis, i_, 3);
        i_ += 3;
        return true;
    }
    if (IsDigit(c) || c == '-' || c == '+' || c == '.') {
        return Number(token);
    }
    if (IsNameStart(c)) {
        const std::size_t start = i_;
        while (i_ < n && IsNameChar(text_[i_])) {
            ++i_;
        }
        *token = Make(Token::Kind::Name, start, i_ - start);
        return true;
    }
    return FailOnByte(c);
}

bool CountTokens(std::string_view text, int firstLine, std::size_t* count, int* errorLine,
                 std::string* error) {
    Lexer lexer(text, firstLine);
    Token token;
    *count = 0;
    do {
        if (!lexer.Next(&token)) {
            *errorLine = lexer.ErrorLine();
            *error = lexer.Error();
            return false;
        }
        ++*count;
    } while (token.kind != Token::Kind::End);
    return true;
}

bool Tokenize(std::string_view text, int firstLine, std::vector<Token>* tokens, int* errorLine,
              std::string* error) {
    Lexer lexer(text, firstLine);
    Token token;
    do {
        if (!lexer.Next(&token)) {
            *errorLine = lexer.ErrorLine();
            *error = lexer.Error();
            return false;
        }
        tokens->push_back(token);
    } while (token.kind != Token::Kind::End);
    return true;
}

}  // namespace platform::xfile
