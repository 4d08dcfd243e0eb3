// Modal message boxes: a window of the "#32770" class with its buttons, shown over the
// disabled owner while a nested message loop keeps every other message flowing.
#include <algorithm>
#include <vector>

#include "platform/msgbox.h"
#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

constexpr UINT_PTR kAnswerTimer = 0x4D42;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
constexpr int kMaxTextWidth = 420;

struct BoxState : ControlState {
    UINT type = 0;
    std::wstring text;
    RECT textRect;
    int scripted = 0;
    int result = 0;
    bool done = false;
};

struct ButtonChoice {
    int id;
    const wchar_t* text;
};

std::vector<ButtonChoice> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, L"OK"}, {IDCANCEL, L"Annulla"}};
        case MB_YESNOCANCEL:
            return {{IDYES, L"S\u00EC"}, {IDNO, L"No"}, {IDCANCEL, L"Annulla"}};
        case MB_YESNO:
            return {{IDYES, L"S\u00EC"}, {IDNO, L"No"}};
        default:
            return {{IDOK, L"OK"}};
    }
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

}  // namespace

LRESULT CALLBACK_MessageBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BoxState* st = StateOf<BoxState>(window);
    if (st == nullptr)
        return 0;
    switch (message) {
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            if (id == IDCANCEL) {
                int answer = CancelAnswer(st->type);
                if (answer != 0)
                    Finish(window, answer);
                return 0;
            }
            for (const ButtonChoice& b : ButtonsFor(st->type)) {
                if (b.id == id)
                    Finish(window, id);
            }
            return 0;
        }
        case WM_CLOSE: {
            int answer = CancelAnswer(st->type);
            if (answer != 0)
                Finish(window, answer);
            return 0;
        }
        case WM_TIMER:
            if (wParam == kAnswerTimer) {
                KillTimer(window, kAnswerTimer);
                Finish(window, st->scripted);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            RECT r;
            GetClientRect(window, &r);
            int strip = r.bottom - kButtonHeight - 22;
            FillSolid(dc, RECT{0, 0, r.right, strip}, GetSysColor(COLOR_WINDOW));
            FillSolid(dc, RECT{0, strip, r.right, r.bottom}, GetSysColor(COLOR_BTNFACE));
            HGDIOBJ old = SelectObject(dc, UiFont());
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            RECT text = st->textRect;
            DrawTextW(dc, st->text.c_str(), -1, &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            EndPaint(window, &ps);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::win

namespace platform {

using win::Find;
using win::Sys;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    win::RegisterSystemClasses();
    std::wstring body = text != nullptr ? text : L"";
    std::wstring title = caption != nullptr ? caption : L"Errore";
    HWND ownerTop = owner != nullptr ? win::TopLevelOf(owner) : nullptr;

    // Layout: the text wrapped to a comfortable width, the buttons centred below it.
    HDC measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, win::UiFont());
    RECT textRect{0, 0, win::kMaxTextWidth, 0};
    DrawTextW(measure, body.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    DeleteDC(measure);
    std::vector<win::ButtonChoice> buttons = win::ButtonsFor(type);
    int buttonsWidth = static_cast<int>(buttons.size()) * (win::kButtonWidth + 8) - 8;
    int clientW = std::max({textRect.right + 48, buttonsWidth + 24, 180});
    int clientH = std::max(textRect.bottom, 16) + 48 + win::kButtonHeight + 22;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    if ((type & (MB_TASKMODAL | MB_SYSTEMMODAL)) != 0)
        exStyle |= WS_EX_TOPMOST;
    RECT outer{0, 0, clientW, clientH};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (ownerTop != nullptr && IsWindowVisible(ownerTop))
        GetWindowRect(ownerTop, &around);
    int x = std::max(0, around.left + (around.right - around.left - width) / 2);
    int y = std::max(0, around.top + (around.bottom - around.top - height) / 2);

    HWND box = CreateWindowExW(exStyle, L"#32770", title.c_str(), style, x, y, width, height,
                               ownerTop, nullptr, nullptr, nullptr);
    if (box == nullptr)
        return 0;
    win::BoxState* st = win::StateOf<win::BoxState>(box);
    st->type = type;
    st->text = body;
    st->textRect = RECT{24, 24, 24 + textRect.right, 24 + textRect.bottom};
    int bx = (clientW - buttonsWidth) / 2;
    int by = clientH - win::kButtonHeight - 11;
    HWND first = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        DWORD bstyle =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = CreateWindowExW(
            0, L"Button", buttons[i].text, bstyle, bx, by, win::kButtonWidth, win::kButtonHeight,
            box, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(buttons[i].id)), nullptr,
            nullptr);
        if (i == 0)
            first = b;
        bx += win::kButtonWidth + 8;
    }

    // Modal: the owner, or every window of the task, takes no input while the box is up.
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
            win::Window* w = Find(h);
            if (w != nullptr && (w->style & WS_VISIBLE) != 0)
                disable(h);
        }
    }
    ShowWindow(box, SW_SHOW);
    if (first != nullptr)
        SetFocus(first);

    win::MessageBoxRequest request{box, ownerTop, body, title, type};
    win::MessageBoxAnswer answer{win::DefaultAnswer(type), 0};
    if (Sys().backend != nullptr)
        answer = Sys().backend->MessageBoxOpened(request);
    if (answer.result != 0) {
        st = win::StateOf<win::BoxState>(box);
        if (st != nullptr)
            st->scripted = answer.result;
        if (answer.afterMs <= 0) {
            win::Finish(box, answer.result);
        } else {
            SetTimer(box, win::kAnswerTimer, static_cast<UINT>(answer.afterMs), nullptr);
        }
    }

    int result = 0;
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        st = Find(box) != nullptr ? win::StateOf<win::BoxState>(box) : nullptr;
        if (st == nullptr)
            break;
        if (st->done) {
            result = st->result;
            break;
        }
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got < 0)
            continue;
        if (!IsDialogMessageW(box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (result == 0)
        result = win::DefaultAnswer(type);
    for (HWND h : disabled) {
        if (Find(h) != nullptr)
            EnableWindow(h, TRUE);
    }
    if (Find(box) != nullptr)
        DestroyWindow(box);
    if (quit)
        PostQuitMessage(quitCode);
    return result;
}

void InstallMessageBoxes() {
    SetMessageBoxHandler(
        [](HWND owner, const std::string& text, const std::string& caption, UINT type) {
            // Narrow texts are single-byte: each byte is one character.
            auto widen = [](const std::string& s) {
                std::wstring w;
                for (char c : s)
                    w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
                return w;
            };
            return MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), type);
        });
}

}  // namespace platform
