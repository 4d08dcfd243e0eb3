// Message boxes: the icon beside the text, and the keys that move between and press the
// buttons.
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

using MessageBoxTest = WinsysTest;

struct Rgb {
    int r, g, b;
};

Rgb ClientRgb(HWND window, int x, int y) {
    std::uint32_t p = headless::ClientPixel(window, x, y);
    return Rgb{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
               static_cast<int>(p & 0xFF)};
}

// Where the icon's parts are in the client area (the icon sits at 24, 24).
struct IconCase {
    UINT type;
    POINT mark;  // on the white cross or question mark
    bool red;    // red disc, else blue
};

class MessageBoxIconTest : public MessageBoxTest, public ::testing::WithParamInterface<IconCase> {};

TEST_P(MessageBoxIconTest, TheIconIsDrawnAtTheLeftWithTheTextBesideIt) {
    const IconCase c = GetParam();
    Rgb disc{};
    Rgb mark{};
    Rgb plainSpot{};
    headless::SetMessageBoxScript([&](const win::MessageBoxRequest& r) {
        UpdateWindow(r.box);
        disc = ClientRgb(r.box, 24 + 5, 24 + 16);
        mark = ClientRgb(r.box, 24 + c.mark.x, 24 + c.mark.y);
        return win::MessageBoxAnswer{IDOK, 0};
    });
    MessageBoxW(nullptr, L"Immagini non trovate.", L"Errore", c.type);
    const int hot = c.red ? disc.r : disc.b;
    const int cold = c.red ? disc.b : disc.r;
    EXPECT_GT(hot, 150);
    EXPECT_LT(cold, 130);
    EXPECT_GT(std::min({mark.r, mark.g, mark.b}), 230);
    // A box without an icon shows the plain background there.
    headless::SetMessageBoxScript([&](const win::MessageBoxRequest& r) {
        UpdateWindow(r.box);
        plainSpot = ClientRgb(r.box, 24 + 5, 24 + 16);
        return win::MessageBoxAnswer{IDOK, 0};
    });
    MessageBoxW(nullptr, L"Immagini non trovate.", L"Errore", MB_OK);
    EXPECT_EQ(plainSpot.r + plainSpot.g + plainSpot.b, 3 * 255);
}

INSTANTIATE_TEST_SUITE_P(Icons, MessageBoxIconTest,
                         ::testing::Values(IconCase{MB_OK | MB_ICONERROR, {16, 16}, true},
                                           IconCase{MB_YESNO | MB_ICONQUESTION, {16, 24}, false}));

// Answers a box with the given keys pressed while it is up.
int AnswerWithKeys(UINT type, std::vector<int> keys, bool alt = false) {
    headless::SetMessageBoxScript([keys, alt](const win::MessageBoxRequest&) {
        if (alt)
            headless::KeyDown(VK_MENU);
        for (int k : keys)
            headless::PressKey(k);
        if (alt)
            headless::KeyUp(VK_MENU);
        return win::MessageBoxAnswer{};
    });
    return MessageBoxW(nullptr, L"?", L"", type);
}

TEST_F(MessageBoxTest, ArrowsMoveBetweenTheButtonsAndAccessLettersPressThem) {
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_RIGHT, VK_RETURN}), IDNO);
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_DOWN, VK_UP, VK_RETURN}), IDYES);
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_LEFT, VK_SPACE}), IDNO);  // wraps round
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {'N'}), IDNO);
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {'S'}), IDYES);
    EXPECT_EQ(AnswerWithKeys(MB_OKCANCEL, {'A'}, true), IDCANCEL);
    // Letters that are no button's do nothing; the box waits for a real answer.
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {'X', 'N'}), IDNO);
    // The buttons show their letters underlined.
    std::wstring noText;
    headless::SetMessageBoxScript([&](const win::MessageBoxRequest& r) {
        wchar_t buffer[16];
        GetWindowTextW(GetDlgItem(r.box, IDNO), buffer, 16);
        noText = buffer;
        return win::MessageBoxAnswer{IDNO, 0};
    });
    MessageBoxW(nullptr, L"?", L"", MB_YESNO);
    EXPECT_EQ(noText, L"&No");
}

}  // namespace
}  // namespace winsys_test
