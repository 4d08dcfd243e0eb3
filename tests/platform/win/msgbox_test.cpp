// Message boxes: the icon beside the text, and the keys that move between and press the
// buttons.
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

using MessageBoxTest = WinsysTest;

// A point of the disc and one of its white mark, in the icon's 32 x 32 (it sits at 24, 24).
struct IconCase {
    UINT type;
    POINT mark;
    int hotShift;  // the disc's strong channel: 16 red, 0 blue
};

class MessageBoxIconTest : public MessageBoxTest, public ::testing::WithParamInterface<IconCase> {};

TEST_P(MessageBoxIconTest, TheIconIsDrawnAtTheLeftOfTheText) {
    const IconCase c = GetParam();
    std::vector<std::uint32_t> seen;  // disc, mark, the disc's place in a box without icon
    headless::SetMessageBoxScript([&](const win::MessageBoxRequest& r) {
        UpdateWindow(r.box);
        seen.push_back(headless::ClientPixel(r.box, 24 + 5, 24 + 16));
        seen.push_back(headless::ClientPixel(r.box, 24 + c.mark.x, 24 + c.mark.y));
        return win::MessageBoxAnswer{IDOK, 0};
    });
    MessageBoxW(nullptr, L"Immagini non trovate.", L"Errore", c.type);
    MessageBoxW(nullptr, L"Immagini non trovate.", L"Errore", MB_OK);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_GT((seen[0] >> c.hotShift) & 0xFF, 150u);
    EXPECT_LT((seen[0] >> (16 - c.hotShift)) & 0xFF, 130u);
    EXPECT_EQ(seen[1] & 0xE0E0E0, 0xE0E0E0u);
    EXPECT_EQ(seen[2], 0xFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Icons, MessageBoxIconTest,
                         ::testing::Values(IconCase{MB_OK | MB_ICONERROR, {16, 16}, 16},
                                           IconCase{MB_YESNO | MB_ICONQUESTION, {16, 24}, 0}),
                         [](const auto& info) {
                             return info.param.hotShift ? "Error" : "Question";
                         });

// Answers a box with keys pressed while it is up.
int AnswerWithKeys(UINT type, std::vector<int> keys) {
    headless::SetMessageBoxScript([keys](const win::MessageBoxRequest&) {
        for (int k : keys) {
            headless::PressKey(k);
        }
        return win::MessageBoxAnswer{};
    });
    return MessageBoxW(nullptr, L"?", L"", type);
}

TEST_F(MessageBoxTest, KeysMoveBetweenAndPressTheButtons) {
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_RETURN}), IDYES);  // the default button
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_TAB, VK_SPACE}), IDNO);
    EXPECT_EQ(AnswerWithKeys(MB_OK, {VK_ESCAPE}), IDOK);
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_ESCAPE, VK_RETURN}), IDYES);  // no cancel to take
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_RIGHT, VK_RETURN}), IDNO);
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_DOWN, VK_UP, VK_RETURN}), IDYES);
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {VK_LEFT, VK_SPACE}), IDNO);  // wraps round
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {'X', 'N'}), IDNO);           // X is no button's
    EXPECT_EQ(AnswerWithKeys(MB_YESNO, {'S'}), IDYES);
    EXPECT_EQ(AnswerWithKeys(MB_OKCANCEL, {'A'}), IDCANCEL);
    headless::SetMessageBoxScript([](const win::MessageBoxRequest& r) {
        wchar_t text[16];
        GetWindowTextW(GetDlgItem(r.box, IDNO), text, 16);
        EXPECT_STREQ(text, L"&No");  // drawn with its letter underlined
        return win::MessageBoxAnswer{IDNO, 0};
    });
    MessageBoxW(nullptr, L"?", L"", MB_YESNO);
}

}  // namespace
}  // namespace winsys_test
