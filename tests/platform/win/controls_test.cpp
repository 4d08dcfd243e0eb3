// The standard controls: buttons, edit boxes (with word moves and deletion, undo, the narrow
// character set and the beep that refusals make over the game's sound), statics and tool tips.
#include <algorithm>

#include "platform/sound.h"
#include "platform/win/canvas.h"
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

class ControlsTest : public WinsysTest {
  protected:
    // A focused edit box in a window of its own.
    HWND Box(DWORD style, const wchar_t* text = L"", int id = 1) {
        HWND edit = Child(TopLevel(), L"Edit", id, style, 10, 10, 260, 25, text);
        SetFocus(edit);
        return edit;
    }
};

TEST_F(ControlsTest, ButtonClicksByMouseSpaceAndEnterSendBnClicked) {
    HWND top = TopLevel();
    HWND button = Child(top, L"Button", 77, WS_TABSTOP, 10, 10, 80, 25, L"OK");
    ClickAt(button, 5, 5);
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(Params(top, WM_COMMAND), std::vector<WPARAM>{MAKEWPARAM(77, BN_CLICKED)});
    Press({VK_SPACE, VK_RETURN});
    EXPECT_EQ(Params(top, WM_COMMAND).size(), 3u);
    // Pressed inside, released outside: no click.
    POINT in = headless::ClientPoint(button, 5, 5);
    POINT out = headless::ClientPoint(button, 200, 5);
    headless::MouseDown(in.x, in.y);
    headless::RunUntilIdle();
    headless::MouseMove(out.x, out.y);
    headless::MouseUp(out.x, out.y);
    headless::RunUntilIdle();
    EXPECT_EQ(Params(top, WM_COMMAND).size(), 3u);
    EXPECT_EQ(GetCapture(), nullptr);
    // A disabled button ignores clicks.
    EnableWindow(button, FALSE);
    headless::ClickClient(button, 5, 5);
    SendMessageW(button, BM_CLICK, 0, 0);
    headless::RunUntilIdle();
    EXPECT_EQ(Params(top, WM_COMMAND).size(), 3u);
}

TEST_F(ControlsTest, EditLimitRefusesTypedCharactersAndTruncatesReplacements) {
    HWND edit = Box(WS_TABSTOP | ES_AUTOHSCROLL, L"", 3);
    HWND top = GetParent(edit);
    SendMessageW(edit, EM_SETLIMITTEXT, 5, 0);
    Type(L"abcdefg");
    EXPECT_EQ(Text(edit), L"abcde");
    EXPECT_EQ(std::ranges::count(Params(top, WM_COMMAND), MAKEWPARAM(3, EN_MAXTEXT)), 2);
    // Setting the text is not limited; typing over a selection is.
    SetWindowTextW(edit, L"1234567");
    EXPECT_EQ(Text(edit), L"1234567");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    Type(L"z");
    EXPECT_EQ(Text(edit), L"z");
    Log().clear();
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"abcdef"));
    EXPECT_EQ(Text(edit), L"abcde");
    EXPECT_EQ(Params(top, WM_COMMAND),
              (std::vector<WPARAM>{MAKEWPARAM(3, EN_UPDATE), MAKEWPARAM(3, EN_CHANGE)}));
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 5);
}

TEST_F(ControlsTest, EditCaseAndDigitStylesFilterTypedCharacters) {
    HWND top = TopLevel();
    HWND upper = Child(top, L"Edit", 1, ES_UPPERCASE, 10, 10, 120, 25);
    SetFocus(upper);
    Type(L"Mario r\u00e8");
    EXPECT_EQ(Text(upper), L"MARIO R\u00c8");
    HWND digits = Child(top, L"Edit", 2, ES_NUMBER, 10, 40, 120, 25);
    SetFocus(digits);
    Type(L"a1b2");
    EXPECT_EQ(Text(digits), L"12");
    // Style switches apply at once.
    SetWindowLongW(digits, GWL_STYLE,
                   GetWindowLongW(digits, GWL_STYLE) & ~static_cast<LONG>(ES_NUMBER));
    SetWindowLongW(upper, GWL_STYLE,
                   GetWindowLongW(upper, GWL_STYLE) & ~static_cast<LONG>(ES_UPPERCASE));
    Type(L"x");
    SetFocus(upper);
    Type(L"y");
    EXPECT_EQ(Text(digits), L"12x");
    EXPECT_EQ(Text(upper), L"MARIO R\u00c8y");
}

TEST_F(ControlsTest, EditEditingKeysSelectionAndClipboard) {
    HWND edit = Box(0);
    headless::TypeText(L"hello");
    Press({VK_LEFT, VK_LEFT, VK_BACK, VK_DELETE});
    EXPECT_EQ(Text(edit), L"heo");
    Press({VK_HOME});
    Press({VK_RIGHT, VK_RIGHT}, VK_SHIFT);
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 2}));
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), L"o");
    SendMessageW(edit, EM_SETSEL, 1, 1);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), L"ohe");
}

TEST_F(ControlsTest, ReadOnlyAndPasswordEdits) {
    HWND edit = Box(ES_READONLY, L"fisso");
    headless::TypeText(L"x");
    Press({VK_BACK});
    EXPECT_EQ(Text(edit), L"fisso");
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    Type(L"!");
    EXPECT_EQ(Text(edit), L"!fisso");

    HWND secret = Child(GetParent(edit), L"Edit", 2, ES_PASSWORD, 10, 40, 200, 25, L"pw");
    EXPECT_EQ(SendMessageW(secret, EM_GETPASSWORDCHAR, 0, 0), L'*');
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    SendMessageW(secret, EM_SETSEL, 0, -1);
    SendMessageW(secret, WM_COPY, 0, 0);  // a password never reaches the clipboard
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), L"!fisso!fisso");
}

TEST_F(ControlsTest, MultiLineReadOnlyEditScrollsByLines) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 400, 400);
    std::wstring text;
    for (int i = 0; i < 30; ++i) {
        text += L"riga " + std::to_wstring(i) + L"\r\n";
    }
    HWND edit = Child(top, L"Edit", 1, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, 0,
                      0, 200, 100, text.c_str());
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 31);
    SCROLLINFO si{.fMask = SIF_ALL};
    GetScrollInfo(edit, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 30);
    EXPECT_GT(si.nPage, 0u);
    SendMessageW(edit, WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageW(edit, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 2);
    SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
    GetScrollInfo(edit, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 31 - static_cast<int>(si.nPage));
}

TEST_F(ControlsTest, StaticsTakeTheirPictureAndSizeOrTheParentsControlColours) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 400, 300);
    HWND picture = Child(top, L"static", 1, SS_BITMAP, 10, 10, 100, 50);
    const std::vector<std::uint32_t> red(20 * 10, 0xFFFF0000u);
    HBITMAP bitmap = win::CreateBitmapFromPixels(20, 10, red.data());
    EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)),
              0);
    EXPECT_EQ(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0),
              reinterpret_cast<LRESULT>(bitmap));
    EXPECT_EQ(ClientEdges(picture), (std::array<LONG, 4>{0, 0, 20, 10}));
    headless::RunUntilIdle();
    EXPECT_EQ(headless::ClientPixel(picture, 5, 5), 0xFF0000u);
    DeleteObject(bitmap);
    // A text static paints with the colours its parent gives.
    HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
    Hook() = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT* r) {
        if (m == WM_CTLCOLORSTATIC) {
            SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
            *r = reinterpret_cast<LRESULT>(green);
            return true;
        }
        return false;
    };
    HWND label = Child(top, L"static", 2, SS_CENTER, 10, 70, 100, 30, L"Ciao");
    headless::RunUntilIdle();
    EXPECT_EQ(headless::ClientPixel(label, 1, 1), 0x008000u);
    DeleteObject(green);
}

TEST_F(ControlsTest, ToolTipsKeepTheirToolsQuietly) {
    HWND top = TopLevel();
    INITCOMMONCONTROLSEX icc{.dwICC = ICC_WIN95_CLASSES};
    EXPECT_TRUE(InitCommonControlsEx(&icc));
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, L"tooltips_class32", nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, top, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    std::wstring text = L"Suggerimento";
    TOOLINFOW ti{.uFlags = TTF_SUBCLASS, .hwnd = top, .rect = {}, .lpszText = text.data()};
    GetClientRect(top, &ti.rect);
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(GetForegroundWindow(), top);
    EXPECT_FALSE(IsWindowVisible(tip));
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(tip));
}

TEST_F(ControlsTest, EditClicksPlaceTheCaretAndDoubleClicksSelectAWord) {
    HWND top = TopLevel();
    HWND edit = Child(top, L"Edit", 1, 0, 10, 10, 300, 25, L"uno due");
    ClickAt(edit, 1, 5);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 0}));
    ClickAt(edit, 280, 5);
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{7, 7}));
    // Double click on "uno".
    clock_.AdvanceMs(1000);
    headless::ClickClient(edit, 8, 5);
    ClickAt(edit, 8, 5);
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 3}));
}

TEST_F(ControlsTest, MultiLineEditWithWantReturnTakesEnter) {
    HWND dlg = TopLevel();
    HWND edit = Child(dlg, L"Edit", 11, ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP, 10, 10, 200, 80);
    SetFocus(edit);
    headless::TypeText(L"a");
    headless::PressKey(VK_RETURN);
    headless::TypeText(L"b");
    headless::RunUntilIdle(dlg);
    EXPECT_EQ(Text(edit), L"a\r\nb");
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 2);
    EXPECT_EQ(std::ranges::count(Params(dlg, WM_COMMAND), IDOK, LOWORD), 0);
}

class RecordingOutput : public SoundOutput {
  public:
    void Play(int id, bool) override { played.push_back(id); }
    void Stop() override { played.push_back(0); }
    void PlayAlert(int id) override { alerts.push_back(id); }
    std::vector<int> played, alerts;
};

using EditWordsTest = ControlsTest;

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
