// Cursors, icons and bitmaps: the built-in shapes and pictures loaded from the program's
// resources or from files.
#include <string>
#include <utility>

#include "platform/images/images.h"
#include "platform/resources.h"
#include "platform/win/canvas.h"
#include "platform/win/internal.h"

#ifndef KX_HAVE_RESOURCES
namespace platform {
// Without the resources library, programs simply have no resources.
std::optional<std::span<const std::uint8_t>> FindResource(ResourceType type, int id)
    __attribute__((weak));
}  // namespace platform
#endif

namespace platform::win {
namespace {

std::string Utf8(const std::wstring& w) {
    std::string out;
    for (wchar_t wc : w) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

HICON ApplicationIcon() {
    static HICON icon = nullptr;
    if (icon == nullptr || IconSurface(icon) == nullptr) {
        std::vector<std::uint32_t> px(32 * 32, 0);
        for (int y = 2; y < 30; ++y) {
            for (int x = 2; x < 30; ++x) {
                bool border = x == 2 || y == 2 || x == 29 || y == 29;
                px[static_cast<std::size_t>(y * 32 + x)] =
                    border ? 0xFF404040u : (y < 9 ? 0xFF0078D7u : 0xFFFFFFFFu);
            }
        }
        icon = CreateIconFromPixels(32, 32, px.data());
        MarkStock(icon);
    }
    return icon;
}

std::optional<Image> ResourcePicture(ResourceType type, int id) {
#ifndef KX_HAVE_RESOURCES
    if (&platform::FindResource == nullptr) {
        return std::nullopt;
    }
#endif
    auto bytes = platform::FindResource(type, id);
    if (!bytes) {
        return std::nullopt;
    }
    return DecodeImage(*bytes);
}

}  // namespace
}  // namespace platform::win

namespace platform {

using win::Sys;

HCURSOR LoadCursorW(HINSTANCE /*instance*/, LPCWSTR name) {
    if (!IS_INTRESOURCE(name)) {
        return nullptr;
    }
    auto id = reinterpret_cast<std::uintptr_t>(name);
    switch (id) {
        case 32512:
        case 32513:
        case 32514:
        case 32649:
        case 32515:
        case 32646:
            return reinterpret_cast<HCURSOR>(id);
        default:
            win::SetError(ERROR_RESOURCE_NOT_FOUND);
            return nullptr;
    }
}

HCURSOR SetCursor(HCURSOR cursor) {
    win::System& s = Sys();
    HCURSOR old = std::exchange(s.cursor, cursor);
    if (s.backend != nullptr && old != cursor) {
        s.backend->SetCursorShape(static_cast<int>(reinterpret_cast<std::uintptr_t>(cursor)));
    }
    return old;
}

HCURSOR GetCursor() {
    return Sys().cursor;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (IS_INTRESOURCE(name) && (instance == nullptr || name == IDI_APPLICATION) &&
        reinterpret_cast<std::uintptr_t>(name) >= 32512) {
        return win::ApplicationIcon();
    }
    if (!IS_INTRESOURCE(name)) {
        win::SetError(ERROR_RESOURCE_NOT_FOUND);
        return nullptr;
    }
    int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    auto picture = win::ResourcePicture(ResourceType::Icon, id);
    if (!picture || picture->Empty()) {
        win::SetError(ERROR_RESOURCE_NOT_FOUND);
        return nullptr;
    }
    return win::CreateIconFromPixels(picture->width, picture->height, picture->pixels.data());
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int /*cx*/, int /*cy*/, UINT flags) {
    if (name == nullptr) {
        win::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (type == IMAGE_ICON) {
        return LoadIconW(instance, name);
    }
    if (type == IMAGE_CURSOR) {
        return LoadCursorW(instance, name);
    }
    if (type != IMAGE_BITMAP) {
        win::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::optional<Image> picture;
    if ((flags & LR_LOADFROMFILE) != 0) {
        if (IS_INTRESOURCE(name)) {
            win::SetError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        picture = LoadImageFile(win::Utf8(name));
        if (!picture) {
            win::SetError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
    } else {
        if (!IS_INTRESOURCE(name)) {
            win::SetError(ERROR_RESOURCE_NOT_FOUND);
            return nullptr;
        }
        int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
        picture = win::ResourcePicture(ResourceType::Bitmap, id);
        if (!picture) {
            win::SetError(ERROR_RESOURCE_NOT_FOUND);
            return nullptr;
        }
    }
    if (picture->Empty()) {
        win::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return win::CreateBitmapFromPixels(picture->width, picture->height, picture->pixels.data());
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    win::RegisterSystemClasses();
    return init != nullptr ? TRUE : FALSE;
}

}  // namespace platform
