// The "tooltips_class32" class: keeps its tools and their texts; it does not pop up.
#include <vector>

#include "platform/win/internal.h"

namespace platform::win {
namespace {

struct Tool {
    HWND window = nullptr;
    UINT_PTR id = 0;
    RECT rect;
    std::wstring text;
};

struct ToolTipState : ControlState {
    std::vector<Tool> tools;
};

Tool* FindTool(ToolTipState& st, const TOOLINFOW* info) {
    for (Tool& t : st.tools) {
        if (t.window == info->hwnd && t.id == info->uId) {
            return &t;
        }
    }
    return nullptr;
}

std::wstring TextOf(const TOOLINFOW* info) {
    if (info->lpszText == nullptr || IS_INTRESOURCE(info->lpszText)) {
        return L"";
    }
    return info->lpszText;
}

}  // namespace

LRESULT CALLBACK_ToolTip(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ToolTipState* st = StateOf<ToolTipState>(window);
    if (st == nullptr) {
        return 0;
    }
    const auto* info = reinterpret_cast<const TOOLINFOW*>(lParam);
    switch (message) {
        case TTM_ADDTOOLW:
            if (info == nullptr) {
                return FALSE;
            }
            if (Tool* t = FindTool(*st, info)) {
                t->rect = info->rect;
                t->text = TextOf(info);
            } else {
                st->tools.push_back(Tool{info->hwnd, info->uId, info->rect, TextOf(info)});
            }
            return TRUE;
        case TTM_DELTOOLW:
            if (info != nullptr) {
                std::erase_if(st->tools, [&](const Tool& t) {
                    return t.window == info->hwnd && t.id == info->uId;
                });
            }
            return 0;
        case TTM_NEWTOOLRECTW:
            if (info != nullptr) {
                if (Tool* t = FindTool(*st, info)) {
                    t->rect = info->rect;
                }
            }
            return 0;
        case TTM_UPDATETIPTEXTW:
            if (info != nullptr) {
                if (Tool* t = FindTool(*st, info)) {
                    t->text = TextOf(info);
                }
            }
            return 0;
        case TTM_ACTIVATE:
            return 0;
        case WM_MOUSEACTIVATE:
            return 3;  // never activated by a click
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::win
