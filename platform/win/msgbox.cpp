// Modal message boxes: a window of the "#32770" class with its icon, text and buttons, shown
// over the disabled owner while a nested message loop keeps every other message flowing.
#include <algorithm>
#include <cwctype>
#include <vector>

#include "platform/msgbox.h"
#include "platform/sound.h"
#include "platform/win/canvas.h"
#include "platform/win/internal.h"
#include "platform/win/msgicons.h"

namespace platform::win {
namespace {

constexpr UINT_PTR kAnswerTimer = 0x4D42;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kMaxTextWidth = 420;
constexpr int kMargin = 24;   // around the icon and the text
constexpr int kIconGap = 16;  // between the icon and the text
constexpr int kStrip = 22;    // the button strip's padding

struct BoxState : ControlState {
    UINT type = 0;
    std::wstring text;
    RECT textRect;
    RECT iconRect;
    int scripted = 0;
    int result = 0;
    bool done = false;
};

// Each button's text carries its access letter after the '&'.
struct ButtonChoice {
    int id;
    const wchar_t* text;
};

std::vector<ButtonChoice> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, L"&OK"}, {IDCANCEL, L"&Annulla"}};
        case MB_YESNOCANCEL:
            return {{IDYES, L"&S\u00EC"}, {IDNO, L"&No"}, {IDCANCEL, L"&Annulla"}};
        case MB_YESNO:
            return {{IDYES, L"&S\u00EC"}, {IDNO, L"&No"}};
        default:
            return {{IDOK, L"&OK"}};
    }
}

wchar_t AccessLetter(const wchar_t* text) {
    for (const wchar_t* p = text; *p != 0; ++p) {
        if (*p == L'&' && p[1] != 0) {
            return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(p[1])));
        }
    }
    return 0;
}

// What Escape or the close box answers: Cancel when there is one, OK for an OK-only box,
// nothing for a Yes/No box.
int CancelAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return 0;
        default:
            return IDOK;
    }
}

// The answer when nobody answers (no backend, or the loop is told to quit).
int DefaultAnswer(UINT type) {
    int cancel = CancelAnswer(type);
    return cancel != 0 ? cancel : IDNO;
}

void Finish(HWND box, int result) {
    if (BoxState* st = StateOf<BoxState>(box)) {
        if (!st->done) {
            st->done = true;
            st->result = result;
        }
    }
}

// Where everything goes in the client area: the icon at the top left, the text beside it
// (centred on the icon when it is shorter), the buttons centred in the strip below.
struct BoxLayout {
    int clientW = 0;
    int clientH = 0;
    RECT iconRect{};
    RECT textRect{};
    int buttonsX = 0;
    int buttonsY = 0;
};

BoxLayout LayOut(const std::wstring& body, UINT type, std::size_t buttonCount) {
    HDC measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, UiFont());
    RECT text{0, 0, kMaxTextWidth, 0};
    DrawTextW(measure, body.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    DeleteDC(measure);
    BoxLayout l;
    bool icon = BoxIconFor(type) != BoxIcon::None;
    int textX = icon ? kMargin + kBoxIconSize + kIconGap : kMargin;
    int textH = std::max<int>(text.bottom, 16);
    int bodyH = icon ? std::max(textH, kBoxIconSize) : textH;
    int textY = kMargin + (bodyH - textH) / 2;
    if (icon) {
        l.iconRect = RECT{kMargin, kMargin, kMargin + kBoxIconSize, kMargin + kBoxIconSize};
    }
    l.textRect = RECT{textX, textY, textX + text.right, textY + textH};
    int buttonsWidth = static_cast<int>(buttonCount) * (kButtonWidth + kButtonGap) - kButtonGap;
    l.clientW =
        std::max({textX + static_cast<int>(text.right) + kMargin, buttonsWidth + kMargin, 180});
    l.clientH = kMargin + bodyH + kMargin + kButtonHeight + kStrip;
    l.buttonsX = (l.clientW - buttonsWidth) / 2;
    l.buttonsY = l.clientH - kButtonHeight - kStrip / 2;
    return l;
}

void PaintBox(HWND window, const BoxState& st) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    int strip = r.bottom - kButtonHeight - kStrip;
    FillSolid(dc, RECT{0, 0, r.right, strip}, GetSysColor(COLOR_WINDOW));
    FillSolid(dc, RECT{0, strip, r.right, r.bottom}, GetSysColor(COLOR_BTNFACE));
    Surface icon = RenderBoxIcon(BoxIconFor(st.type), st.iconRect.right - st.iconRect.left);
    if (icon.width > 0) {
        BlendSurface(dc, st.iconRect.left, st.iconRect.top, icon);
    }
    HGDIOBJ old = SelectObject(dc, UiFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT text = st.textRect;
    DrawTextW(dc, st.text.c_str(), -1, &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(window, &ps);
}

LRESULT OnCommand(HWND window, const BoxState& st, int id) {
    if (id == IDCANCEL) {
        int answer = CancelAnswer(st.type);
        if (answer != 0) {
            Finish(window, answer);
        }
        return 0;
    }
    for (const ButtonChoice& b : ButtonsFor(st.type)) {
        if (b.id == id) {
            Finish(window, id);
        }
    }
    return 0;
}

}  // namespace

LRESULT CALLBACK_MessageBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BoxState* st = StateOf<BoxState>(window);
    if (st == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            return OnCommand(window, *st, LOWORD(wParam));
        case WM_CLOSE: {
            int answer = CancelAnswer(st->type);
            if (answer != 0) {
                Finish(window, answer);
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kAnswerTimer) {
                KillTimer(window, kAnswerTimer);
                Finish(window, st->scripted);
            }
            return 0;
        case WM_PAINT:
            PaintBox(window, *st);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

namespace {

HWND CreateBox(const BoxLayout& l, const std::wstring& title, UINT type, HWND ownerTop) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    if ((type & (MB_TASKMODAL | MB_SYSTEMMODAL)) != 0) {
        exStyle |= WS_EX_TOPMOST;
    }
    RECT outer{0, 0, l.clientW, l.clientH};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (ownerTop != nullptr && IsWindowVisible(ownerTop)) {
        GetWindowRect(ownerTop, &around);
    }
    int x = std::max(0, around.left + (around.right - around.left - width) / 2);
    int y = std::max(0, around.top + (around.bottom - around.top - height) / 2);
    return CreateWindowExW(exStyle, L"#32770", title.c_str(), style, x, y, width, height, ownerTop,
                           nullptr, nullptr, nullptr);
}

// Makes the buttons, the first one the default; returns it.
HWND CreateButtons(HWND box, const BoxLayout& l, const std::vector<ButtonChoice>& buttons) {
    HWND first = nullptr;
    int bx = l.buttonsX;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        DWORD bstyle =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = CreateWindowExW(
            0, L"Button", buttons[i].text, bstyle, bx, l.buttonsY, kButtonWidth, kButtonHeight, box,
            reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(buttons[i].id)), nullptr, nullptr);
        if (i == 0) {
            first = b;
        }
        bx += kButtonWidth + kButtonGap;
    }
    return first;
}

// Modal: the owner, or every visible window of the task, takes no input while the box is
// up. Returns the windows disabled here, to enable again afterwards.
std::vector<HWND> DisableOthers(HWND box, HWND ownerTop, UINT type) {
    std::vector<HWND> disabled;
    auto disable = [&](HWND h) {
        if (h != nullptr && h != box && IsWindowEnabled(h)) {
            EnableWindow(h, FALSE);
            disabled.push_back(h);
        }
    };
    if (ownerTop != nullptr) {
        disable(ownerTop);
    } else if ((type & (MB_TASKMODAL | MB_SYSTEMMODAL)) != 0) {
        for (HWND h : std::vector<HWND>(Sys().topLevels)) {
            Window* w = Find(h);
            if (w != nullptr && (w->style & WS_VISIBLE) != 0) {
                disable(h);
            }
        }
    }
    return disabled;
}

// Lets the backend answer (tests and scripted runs): at once or after a delay.
void AskBackend(HWND box, HWND ownerTop, const std::wstring& body, const std::wstring& title,
                UINT type) {
    MessageBoxRequest request{box, ownerTop, body, title, type};
    MessageBoxAnswer answer{DefaultAnswer(type), 0};
    if (Sys().backend != nullptr) {
        answer = Sys().backend->MessageBoxOpened(request);
    }
    if (answer.result == 0) {
        return;
    }
    if (BoxState* st = StateOf<BoxState>(box)) {
        st->scripted = answer.result;
    }
    if (answer.afterMs <= 0) {
        Finish(box, answer.result);
    } else {
        SetTimer(box, kAnswerTimer, static_cast<UINT>(answer.afterMs), nullptr);
    }
}

// The box's own keys: the arrows move between the buttons as Tab does, and a button's
// access letter (with or without Alt) presses it.
bool HandleBoxKey(HWND box, const MSG& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) ||
        (msg.hwnd != box && !IsDescendant(box, msg.hwnd))) {
        return false;
    }
    auto vk = static_cast<int>(msg.wParam);
    if (vk == VK_LEFT || vk == VK_UP || vk == VK_RIGHT || vk == VK_DOWN) {
        BOOL previous = (vk == VK_LEFT || vk == VK_UP) ? TRUE : FALSE;
        if (HWND next = GetNextDlgTabItem(box, GetFocus(), previous)) {
            SetFocus(next);
        }
        return true;
    }
    BoxState* st = StateOf<BoxState>(box);
    if (st == nullptr || vk < 'A' || vk > 'Z') {
        return false;
    }
    for (const ButtonChoice& b : ButtonsFor(st->type)) {
        if (AccessLetter(b.text) == static_cast<wchar_t>(vk)) {
            Finish(box, b.id);
            return true;
        }
    }
    return false;
}

struct LoopEnd {
    int result = 0;
    bool quit = false;
    int quitCode = 0;
};

LoopEnd RunBoxLoop(HWND box) {
    LoopEnd end;
    for (;;) {
        BoxState* st = Find(box) != nullptr ? StateOf<BoxState>(box) : nullptr;
        if (st == nullptr) {
            return end;
        }
        if (st->done) {
            end.result = st->result;
            return end;
        }
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            end.quit = true;
            end.quitCode = static_cast<int>(msg.wParam);
            return end;
        }
        if (got < 0 || HandleBoxKey(box, msg)) {
            continue;
        }
        if (!IsDialogMessageW(box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace
}  // namespace platform::win

namespace platform {

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    win::RegisterSystemClasses();
    std::wstring body = text != nullptr ? text : L"";
    std::wstring title = caption != nullptr ? caption : L"Errore";
    HWND ownerTop = owner != nullptr ? win::TopLevelOf(owner) : nullptr;
    std::vector<win::ButtonChoice> buttons = win::ButtonsFor(type);
    win::BoxLayout layout = win::LayOut(body, type, buttons.size());
    HWND box = win::CreateBox(layout, title, type, ownerTop);
    if (box == nullptr) {
        return 0;
    }
    win::BoxState* st = win::StateOf<win::BoxState>(box);
    st->type = type;
    st->text = body;
    st->textRect = layout.textRect;
    st->iconRect = layout.iconRect;
    HWND first = win::CreateButtons(box, layout, buttons);
    std::vector<HWND> disabled = win::DisableOthers(box, ownerTop, type);
    ShowWindow(box, SW_SHOW);
    if (first != nullptr) {
        SetFocus(first);
    }
    win::AskBackend(box, ownerTop, body, title, type);
    win::LoopEnd end = win::RunBoxLoop(box);
    int result = end.result != 0 ? end.result : win::DefaultAnswer(type);
    for (HWND h : disabled) {
        if (win::Find(h) != nullptr) {
            EnableWindow(h, TRUE);
        }
    }
    if (win::Find(box) != nullptr) {
        DestroyWindow(box);
    }
    if (end.quit) {
        PostQuitMessage(end.quitCode);
    }
    return result;
}

// Every kind of beep is the same short sound, mixed over the game's own sounds.
BOOL MessageBeep(UINT /*type*/) {
    PlayAlertSound(kAlertWaveId);
    return TRUE;
}

void InstallMessageBoxes() {
    SetMessageBoxHandler(
        [](HWND owner, const std::string& text, const std::string& caption, UINT type) {
            // Narrow texts are single-byte: each byte is one character.
            auto widen = [](const std::string& s) {
                std::wstring w;
                for (char c : s) {
                    w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
                }
                return w;
            };
            return MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), type);
        });
}

}  // namespace platform
