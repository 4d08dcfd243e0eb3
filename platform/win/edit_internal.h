// What the "Edit" class's two files share: the box's state, its lines, and how it is drawn
// and hit (edit_view.cpp) for the message handlers (edit.cpp).
#pragma once

#include <string>
#include <vector>

#include "platform/win/internal.h"

namespace platform::win {

inline constexpr int kEditMargin = 2;

struct EditState : ControlState {
    HFONT font = nullptr;
    int anchor = 0;
    int caret = 0;
    int limit = 30000;
    wchar_t password = 0;
    int scrollX = 0;
    int firstLine = 0;
    bool dragging = false;
    bool created = false;
    // One level of undo, as the system's edit boxes keep: the text and caret before the last
    // edit; consecutive typed characters count as one edit.
    std::wstring undoText;
    int undoCaret = 0;
    bool canUndo = false;
    bool typing = false;
};

struct LineSpan {
    int start = 0;
    int length = 0;
};

inline bool Multi(const Window& w) {
    return (w.style & ES_MULTILINE) != 0;
}

void ClampSelection(const Window& w, EditState& st);
int LineHeight(const EditState& st);
// Lines of a multi-line box: split at line breaks, wrapped at the width unless the box
// scrolls horizontally.
std::vector<LineSpan> Lines(HWND window, const Window& w, const EditState& st);
int LineOf(const std::vector<LineSpan>& lines, int index);
int VisibleLines(HWND window, const EditState& st);
void UpdateScrollBar(HWND window, const Window& w, const EditState& st);
// The text index nearest to a client point.
int IndexAt(HWND window, const Window& w, const EditState& st, int x, int y);
void PaintEdit(HWND window, const Window& w, EditState& st, HDC dc, const RECT& r);

}  // namespace platform::win
