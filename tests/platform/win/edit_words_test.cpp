// Edit boxes: word moves, word deletion, undo, the narrow character set, and the beep that
// refusals make.
#include "platform/sound.h"
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

// Records what reaches the sound output.
class RecordingOutput : public SoundOutput {
  public:
    void Play(int id, bool) override { played.push_back(id); }
    void Stop() override { ++stops; }
    void PlayAlert(int id) override { alerts.push_back(id); }
    std::vector<int> played;
    std::vector<int> alerts;
    int stops = 0;
};

class EditWordsTest : public WinsysTest {
  protected:
    void SetUp() override {
        WinsysTest::SetUp();
        SetSoundOutput(&output_);
        top_ = TopLevel();
    }
    void TearDown() override {
        SetSoundOutput(nullptr);
        WinsysTest::TearDown();
    }
    HWND Box(DWORD style, const wchar_t* text = L"") {
        HWND edit = Child(top_, L"Edit", 1, style, 10, 10, 260, 25, text);
        SetFocus(edit);
        return edit;
    }
    static std::wstring Text(HWND h) {
        wchar_t buffer[256];
        GetWindowTextW(h, buffer, 256);
        return buffer;
    }
    static DWORD Caret(HWND h) {
        DWORD lo = 0;
        DWORD hi = 0;
        SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
        return hi;
    }
    static void CtrlKey(int vk) {
        headless::KeyDown(VK_CONTROL);
        headless::PressKey(vk);
        headless::KeyUp(VK_CONTROL);
        headless::RunUntilIdle();
    }

    RecordingOutput output_;
    HWND top_ = nullptr;
};

TEST_F(EditWordsTest, CtrlArrowsMoveByWordsAndCtrlBackspaceDeletesOne) {
    HWND edit = Box(0, L"uno  due tre");
    SendMessageW(edit, EM_SETSEL, 12, 12);
    CtrlKey(VK_LEFT);
    EXPECT_EQ(Caret(edit), 9u);  // start of "tre"
    CtrlKey(VK_LEFT);
    EXPECT_EQ(Caret(edit), 5u);  // over the double blank to "due"
    CtrlKey(VK_RIGHT);
    EXPECT_EQ(Caret(edit), 9u);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    CtrlKey(VK_LEFT);
    EXPECT_EQ(Caret(edit), 0u);
    SendMessageW(edit, EM_SETSEL, 8, 8);  // just after "due"
    CtrlKey(VK_BACK);
    EXPECT_EQ(Text(edit), L"uno   tre");
    EXPECT_EQ(Caret(edit), 5u);
    // A selection is deleted whole, not a word.
    SendMessageW(edit, EM_SETSEL, 0, 2);
    CtrlKey(VK_BACK);
    EXPECT_EQ(Text(edit), L"o   tre");
}

TEST_F(EditWordsTest, CtrlZUndoesTheLastEditAndASecondUndoRedoesIt) {
    HWND edit = Box(0);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
    headless::TypeText(L"ciao");
    headless::RunUntilIdle();
    headless::PressKey(VK_LEFT);
    headless::TypeText(L"X");
    headless::RunUntilIdle();
    EXPECT_EQ(Text(edit), L"ciaXo");
    CtrlKey('Z');
    EXPECT_EQ(Text(edit), L"ciao");  // typing after a caret move is a new edit
    CtrlKey('Z');
    EXPECT_EQ(Text(edit), L"ciaXo");
    SendMessageW(edit, EM_SETSEL, 0, 5);
    headless::PressKey(VK_DELETE);
    headless::RunUntilIdle();
    EXPECT_EQ(Text(edit), L"");
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), L"ciaXo");
    // New text from the program empties the undo.
    SetWindowTextW(edit, L"nuovo");
    CtrlKey('Z');
    EXPECT_EQ(Text(edit), L"nuovo");
}

TEST_F(EditWordsTest, NarrowOnlyBoxKeepsLatin1AfterUpperCasingAndBeepsAtTheRest) {
    HWND edit = Box(ES_OEMCONVERT | ES_UPPERCASE);
    headless::TypeText(L"\u00e8\u00f1\u00fc \u0141\U0001F600\u00ffx");
    headless::RunUntilIdle();
    // Ł, the emoji and ÿ (whose upper case is outside Latin-1) are refused.
    EXPECT_EQ(Text(edit), L"\u00c8\u00d1\u00dc X");
    EXPECT_EQ(output_.alerts, std::vector<int>(3, kAlertWaveId));
    // Pasted text with a character the box refuses is refused whole.
    SetWindowTextW(edit, L"");
    HWND plain = Child(top_, L"Edit", 2, 0, 10, 40, 200, 25, L"\u0141ukasz");
    SendMessageW(plain, EM_SETSEL, 0, -1);
    SendMessageW(plain, WM_COPY, 0, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), L"");
    EXPECT_EQ(output_.alerts.size(), 4u);
}

TEST_F(EditWordsTest, BeepsMixOverTheGameSoundWithoutStoppingIt) {
    PlaySoundResource(1026, true);
    HWND edit = Box(ES_NUMBER);
    headless::TypeText(L"a");
    headless::RunUntilIdle();
    MessageBeep(MB_ICONERROR);
    EXPECT_EQ(output_.alerts, (std::vector<int>{kAlertWaveId, kAlertWaveId}));
    EXPECT_EQ(output_.played, (std::vector<int>{1026}));
    EXPECT_EQ(output_.stops, 0);
    EXPECT_EQ(Text(edit), L"");
}

}  // namespace
}  // namespace winsys_test
