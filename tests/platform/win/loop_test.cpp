// The message loop: timers under the fake clock, modal message boxes and their nested loop,
// the icon beside a box's text and the keys that move between and press its buttons.
#include "platform/msgbox.h"
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

using LoopTest = WinsysTest;

TEST_F(LoopTest, TimerPostsAtItsIntervalUnderTheFakeClock) {
    HWND top = TopLevel();
    std::vector<Ticks> fired;
    Hook() = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT*) {
        if (m == WM_TIMER && wp == 42) {
            fired.push_back(MonotonicNow());
        }
        return false;
    };
    Ticks start = MonotonicNow();
    ASSERT_EQ(SetTimer(top, 42, 30, nullptr), 42u);
    EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(std::uintptr_t{0x99990}), 1, 10, nullptr), 0u);
    headless::RunFor(29);
    EXPECT_TRUE(fired.empty());
    headless::RunFor(301);
    std::vector<Ticks> every30;
    for (Ticks i = 1; i <= 11; ++i) {
        every30.push_back(start + i * 30 * kTicksPerMs);
    }
    EXPECT_EQ(fired, every30);
    EXPECT_TRUE(KillTimer(top, 42));
    EXPECT_FALSE(KillTimer(top, 42));
    headless::RunFor(300);
    EXPECT_EQ(fired.size(), 11u);
}

TEST_F(LoopTest, TimerKeepsItsPeriodWhenTicksTakeTimeAndALateOneFiresOnce) {
    HWND top = TopLevel();
    std::vector<Ticks> fired;
    Hook() = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_TIMER) {
            fired.push_back(MonotonicNow());
            clock_.clock().Set(MonotonicNow() + 7 * kTicksPerMs + 3);  // the tick's own work
        }
        return false;
    };
    SetTimer(top, 1, 30, nullptr);
    headless::RunFor(30 * 101);
    ASSERT_GE(fired.size(), 101u);
    EXPECT_EQ(fired[100] - fired[0], 100 * 30 * kTicksPerMs);
    // Late by many intervals: one message, not one per missed interval.
    const std::size_t before = fired.size();
    clock_.AdvanceMs(1000);
    headless::RunUntilIdle();
    EXPECT_EQ(fired.size(), before + 1);
}

TEST_F(LoopTest, SettingAnExistingTimerRestartsItAndTimersDieWithTheirWindow) {
    HWND top = TopLevel();
    SetTimer(top, 1, 100, nullptr);
    headless::RunFor(60);
    SetTimer(top, 1, 100, nullptr);
    headless::RunFor(60);
    EXPECT_EQ(Count(top, WM_TIMER), 0);
    headless::RunFor(40);
    EXPECT_EQ(Count(top, WM_TIMER), 1);
    DestroyWindow(top);
    EXPECT_FALSE(win::NextMessageDeadline().has_value());
}

TEST_F(LoopTest, GetMessageAsksTheIdleHookThenMovesTheFakeClockToTheNextTimer) {
    HWND top = TopLevel();
    headless::RunUntilIdle();
    int calls = 0;
    headless::SetIdleHook([&] {
        ++calls;
        PostMessageW(top, WM_USER + 7, 0, 0);
        return true;
    });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 7);
    EXPECT_EQ(calls, 1);
    headless::SetIdleHook(nullptr);
    SetTimer(top, 9, 500, nullptr);
    const Ticks start = MonotonicNow();
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 9u);
    EXPECT_EQ(MonotonicNow() - start, 500 * kTicksPerMs);
}

TEST_F(LoopTest, MessageBoxRunsANestedLoopWithItsOwnerDisabled) {
    HWND top = TopLevel();
    SetTimer(top, 5, 30, nullptr);
    bool ownerEnabledInside = true;
    headless::SetMessageBoxScript([&](const win::MessageBoxRequest& r) {
        ownerEnabledInside = IsWindowEnabled(top) != 0;
        EXPECT_EQ(GetForegroundWindow(), r.box);
        return win::MessageBoxAnswer{IDYES, 300};
    });
    int result =
        MessageBoxW(top, L"Vuoi uscire?", L"Kryx Space", MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    EXPECT_EQ(result, IDYES);
    EXPECT_EQ(Count(top, WM_TIMER), 10);
    ASSERT_EQ(headless::MessageBoxLog().size(), 1u);
    EXPECT_EQ(headless::MessageBoxLog()[0].text, L"Vuoi uscire?");
    EXPECT_EQ(headless::MessageBoxLog()[0].owner, top);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(top));
    EXPECT_EQ(GetForegroundWindow(), top);
}

TEST_F(LoopTest, AClickAnswersTheBoxAndCloseRequestsDoNot) {
    headless::SetMessageBoxScript([](const win::MessageBoxRequest& r) {
        PostMessageW(r.box, WM_CLOSE, 0, 0);
        RECT rc;
        GetWindowRect(GetDlgItem(r.box, IDYES), &rc);
        headless::Click(rc.left + 5, rc.top + 5);
        return win::MessageBoxAnswer{};
    });
    EXPECT_EQ(MessageBoxW(TopLevel(), L"?", L"", MB_YESNO), IDYES);
}

TEST_F(LoopTest, NarrowMessageBoxesGoThroughTheWindowSystem) {
    headless::QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "Uscire?", "Kryx", MB_YESNO | MB_TASKMODAL), IDYES);
    ASSERT_EQ(headless::MessageBoxLog().size(), 1u);
    EXPECT_EQ(headless::MessageBoxLog()[0].caption, L"Kryx");
    // Unanswered yes/no questions count as no.
    EXPECT_EQ(MessageBoxA(nullptr, "Uscire?", "Kryx", MB_YESNO), IDNO);
}

TEST_F(LoopTest, QuitComesAfterThePostedMessagesAndEndsAMessageBoxOnItsWayOut) {
    HWND top = TopLevel();
    headless::RunUntilIdle();
    PostQuitMessage(0);
    PostMessageW(top, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_FALSE(headless::QuitPosted());
    // Posted during a box: the box ends unanswered and the outer loop still gets the quit.
    headless::SetMessageBoxScript([](const win::MessageBoxRequest&) {
        PostQuitMessage(3);
        return win::MessageBoxAnswer{};
    });
    EXPECT_EQ(MessageBoxW(top, L"?", L"", MB_YESNO), IDNO);
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(LoopTest, AltF4AndTheCloseBoxAskTheWindowToClose) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 300, 200);
    Hook() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m == WM_CLOSE) {
            *r = 0;
            return true;  // refuse, but count it
        }
        return false;
    };
    Press({VK_F4}, VK_MENU);
    EXPECT_EQ(Count(top, WM_CLOSE), 1);
    ClickAt(300 - 3 - 8, 3 + 8);
    EXPECT_EQ(Count(top, WM_CLOSE), 2);
    EXPECT_TRUE(IsWindow(top));
}

TEST_F(LoopTest, MessageBoxShowsItsTextCentredOverTheOwner) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 100, 100, 600, 400);
    std::optional<Image> picture;
    RECT boxRect{};
    headless::SetMessageBoxScript([&](const win::MessageBoxRequest& r) {
        headless::RunUntilIdle();
        picture = headless::WindowImage(r.box);
        GetWindowRect(r.box, &boxRect);
        return win::MessageBoxAnswer{IDNO, 0};
    });
    EXPECT_EQ(MessageBoxW(top, L"Immagini non trovate.", L"Errore", MB_YESNO), IDNO);
    ASSERT_TRUE(picture.has_value());
    EXPECT_NEAR((boxRect.left + boxRect.right) / 2, 400, 1);
    EXPECT_NEAR((boxRect.top + boxRect.bottom) / 2, 300, 1);
    // Dark text pixels in the upper, white part of the box.
    int dark = 0;
    for (int y = 26 + 20; y < 26 + 45; ++y) {
        for (int x = 20; x < picture->width - 20; ++x) {
            dark += (picture->At(x, y) & 0xFF) < 0x80 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20);
}

using MessageBoxTest = WinsysTest;

TEST_F(MessageBoxTest, TheIconIsDrawnAtTheLeftOfTheText) {
    // The icon's 32 x 32 sits at (24, 24): a point of its disc, of the disc's white mark, and
    // the disc's strong channel (16 red, 0 blue).
    const struct {
        UINT type;
        POINT mark;
        int hotShift;
    } icons[] = {{MB_OK | MB_ICONERROR, {16, 16}, 16}, {MB_YESNO | MB_ICONQUESTION, {16, 24}, 0}};
    for (const auto& c : icons) {
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
        EXPECT_GT((seen[0] >> c.hotShift) & 0xFF, 150u) << c.type;
        EXPECT_LT((seen[0] >> (16 - c.hotShift)) & 0xFF, 130u) << c.type;
        EXPECT_EQ(seen[1] & 0xE0E0E0, 0xE0E0E0u) << c.type;
        EXPECT_EQ(seen[2], 0xFFFFFFu) << c.type;
    }
}

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
        EXPECT_EQ(Text(GetDlgItem(r.box, IDNO)), L"&No");  // drawn with its letter underlined
        return win::MessageBoxAnswer{IDNO, 0};
    });
    MessageBoxW(nullptr, L"?", L"", MB_YESNO);
}

}  // namespace
}  // namespace winsys_test
