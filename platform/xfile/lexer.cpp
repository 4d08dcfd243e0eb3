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

bool Tokenize(std::string_view text, int firstLine, std::vector<Token>* tokens, int* errorLine,
              std::string* error) {
    int line = firstLine;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto fail = [&](std::string message) {
        *errorLine = line;
        *error = std::move(message);
        return false;
    };
    auto push = [&](Token::Kind kind, std::size_t start, std::size_t len) {
        tokens->push_back(Token{kind, line, text.substr(start, len)});
    };
    while (i < n) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        if (c == '#' || (c == '/' && i + 1 < n && text[i + 1] == '/')) {
            while (i < n && text[i] != '\n') {
                ++i;
            }
            continue;
        }
        switch (c) {
            case '{':
                push(Token::Kind::LBrace, i++, 1);
                continue;
            case '}':
                push(Token::Kind::RBrace, i++, 1);
                continue;
            case '[':
                push(Token::Kind::LBracket, i++, 1);
                continue;
            case ']':
                push(Token::Kind::RBracket, i++, 1);
                continue;
            case ';':
                push(Token::Kind::Semicolon, i++, 1);
                continue;
            case ',':
                push(Token::Kind::Comma, i++, 1);
                continue;
            default:
                break;
        }
        if (c == '"') {
            const std::size_t start = ++i;
            while (i < n && text[i] != '"' && text[i] != '\n') {
                ++i;
            }
            if (i >= n || text[i] != '"') {
                return fail("unterminated string");
            }
            push(Token::Kind::String, start, i - start);
            ++i;
            continue;
        }
        if (c == '<') {
            const std::size_t start = ++i;
            while (i < n && text[i] != '>' && text[i] != '\n') {
                ++i;
            }
            if (i >= n || text[i] != '>') {
                return fail("unterminated GUID (missing '>')");
            }
            push(Token::Kind::Guid, start, i - start);
            ++i;
            continue;
        }
        if (c == '.' && i + 2 < n && text[i + 1] == '.' && text[i + 2] == '.') {
            push(Token::Kind::Ellipsis, i, 3);
            i += 3;
            continue;
        }
        if (IsDigit(c) || c == '-' || c == '+' || c == '.') {
            const std::size_t start = i;
            bool isFloat = false;
            if (c == '-' || c == '+') {
                ++i;
            }
            std::size_t digits = 0;
            while (i < n && IsDigit(text[i])) {
                ++i;
                ++digits;
            }
            if (i < n && text[i] == '.') {
                isFloat = true;
                ++i;
                while (i < n && IsDigit(text[i])) {
                    ++i;
                    ++digits;
                }
            }
            if (digits == 0) {
                return fail(std::string("unexpected character '") + c + "'");
            }
            if (i < n && (text[i] == 'e' || text[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (text[j] == '-' || text[j] == '+')) {
                    ++j;
                }
                if (j < n && IsDigit(text[j])) {
                    isFloat = true;
                    i = j;
                    while (i < n && IsDigit(text[i])) {
                        ++i;
                    }
                }
            }
            // A number glued to letters ("1.5f", "12abc") is not a number of this format.
            if (i < n && IsNameStart(text[i])) {
                return fail("malformed number '" + std::string(text.substr(start, i - start + 1)) +
                            "'");
            }
            push(isFloat ? Token::Kind::Float : Token::Kind::Integer, start, i - start);
            continue;
        }
        if (IsNameStart(c)) {
            const std::size_t start = i;
            while (i < n && IsNameChar(text[i])) {
                ++i;
            }
            push(Token::Kind::Name, start, i - start);
            continue;
        }
        if (c == '\0') {
            return fail("unexpected NUL byte (not a text file?)");
        }
        const unsigned char uc = static_cast<unsigned char>(c);
        if (uc < 0x20 || uc >= 0x7f) {
            char buf[8];
            const char* hex = "0123456789ABCDEF";
            buf[0] = '0';
            buf[1] = 'x';
            buf[2] = hex[uc >> 4];
            buf[3] = hex[uc & 15];
            buf[4] = 0;
            return fail(std::string("unexpected byte ") + buf);
        }
        return fail(std::string("unexpected character '") + c + "'");
    }
    tokens->push_back(Token{Token::Kind::End, line, {}});
    return true;
}

}  // namespace platform::xfile
