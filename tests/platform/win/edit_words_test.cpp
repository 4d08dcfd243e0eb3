// Edit boxes: word moves and deletion, undo, the narrow character set, and the beep that
// refusals make over the game's sound.
#include "platform/sound.h"
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

class RecordingOutput : public SoundOutput {
  public:
    void Play(int id, bool) override { played.push_back(id); }
    void Stop() override { played.push_back(0); }
    void PlayAlert(int id) override { alerts.push_back(id); }
    std::vector<int> played, alerts;
};

class EditWordsTest : public WinsysTest {
  protected:
    HWND Box(DWORD style, const wchar_t* text = L"") {
        HWND edit = Child(TopLevel(), L"Edit", 1, style, 10, 10, 260, 25, text);
        SetFocus(edit);
        return edit;
    }
};

TEST_F(EditWordsTest, CtrlArrowsMoveByWordsAndCtrlBackspaceDeletesOne) {
    HWND edit = Box(0, L"uno  due tre");
    SendMessageW(edit, EM_SETSEL, 12, 12);
    const DWORD expected[] = {9, 5, 0, 0};  // "tre", over two blanks to "due", "uno", stays
    for (DWORD at : expected) {
        Press({VK_LEFT}, VK_CONTROL);
        EXPECT_EQ(Selection(edit).second, at);
    }
    Press({VK_RIGHT}, VK_CONTROL);
    EXPECT_EQ(Selection(edit).second, 5u);
    SendMessageW(edit, EM_SETSEL, 8, 8);  // just after "due"
    Press({VK_BACK}, VK_CONTROL);
    EXPECT_EQ(Text(edit), L"uno   tre");
    SendMessageW(edit, EM_SETSEL, 0, 2);  // a selection goes whole, not a word
    Press({VK_BACK}, VK_CONTROL);
    EXPECT_EQ(Text(edit), L"o   tre");
}

TEST_F(EditWordsTest, CtrlZUndoesTheLastEditAndASecondUndoRedoesIt) {
    HWND edit = Box(0);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
    headless::TypeText(L"ciao");
    headless::PressKey(VK_LEFT);
    headless::TypeText(L"X");
    Press({'Z'}, VK_CONTROL);
    EXPECT_EQ(Text(edit), L"ciao");  // typing after a caret move is an edit of its own
    Press({'Z'}, VK_CONTROL);
    EXPECT_EQ(Text(edit), L"ciaXo");
    SetWindowTextW(edit, L"nuovo");  // text from the program empties the undo
    Press({'Z'}, VK_CONTROL);
    EXPECT_EQ(Text(edit), L"nuovo");
}

TEST_F(EditWordsTest, NarrowOnlyBoxKeepsLatin1AndBeepsOverTheGameSoundAtTheRest) {
    RecordingOutput output;
    SetSoundOutput(&output);
    PlaySoundResource(1026, true);
    HWND edit = Box(ES_OEMCONVERT | ES_UPPERCASE);
    // Ł, the emoji and ÿ (whose upper case is outside Latin-1) are refused.
    Type(L"\u00e8\u00f1\u00fc \u0141\U0001F600\u00ffx");
    EXPECT_EQ(Text(edit), L"\u00c8\u00d1\u00dc X");
    // Pasted text with a refused character is refused whole.
    HWND plain = Child(GetParent(edit), L"Edit", 2, 0, 10, 40, 200, 25, L"\u0141ukasz");
    SendMessageW(plain, EM_SETSEL, 0, -1);
    SendMessageW(plain, WM_COPY, 0, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), L"\u00c8\u00d1\u00dc X");
    EXPECT_EQ(output.alerts, std::vector<int>(4, kAlertWaveId));
    EXPECT_EQ(output.played, std::vector<int>{1026});  // the loop goes on
    SetSoundOutput(nullptr);
}

}  // namespace
}  // namespace winsys_test
