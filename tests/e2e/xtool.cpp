// X helpers for the end-to-end scripts, for what xdotool does not do:
//   xtool shot <file.png> [<window id>]   saves the screen (or one window) as a PNG
//   xtool close <window id>               asks a window to close, as a window manager's close
//                                         box does (WM_DELETE_WINDOW)
//   xtool same <a.png> <b.png> <x> <y> <w> <h>
//                                         exit 0 when the two pictures agree in the rectangle
//   xtool icon <file.png> <window id>     saves the window's first icon (_NET_WM_ICON) as a
//                                         PNG; exit 1 when the window has none
//   xtool lit <a.png> <x> <y> <w> <h>     exit 0 when a tenth of the rectangle is not black
//   xtool top <x> <y>                     prints the title of the top window at a screen point
//   xtool other <seconds>                 shows a window "altro" of another program for a time
//   xtool wm                              exit 0 when a window manager runs
//   xtool kept <window id> <ms>           watches the window for a time; exit 0 when it never
//                                         lost the keyboard focus, else prints how often it did
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/images/images.h"

namespace {

int Shot(Display* display, const char* path, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        std::fprintf(stderr, "xtool: no such window\n");
        return 1;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "xtool: cannot read the window's pixels\n");
        return 1;
    }
    platform::Image picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            picture.pixels[static_cast<std::size_t>(y) * picture.width + x] =
                0xFF000000u | static_cast<std::uint32_t>(p & 0xFFFFFFu);
        }
    }
    XDestroyImage(image);
    if (!platform::WritePngFile(path, picture)) {
        std::fprintf(stderr, "xtool: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int Close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int Same(char** argv) {
    const std::optional<platform::Image> a = platform::LoadImageFile(argv[0]);
    const std::optional<platform::Image> b = platform::LoadImageFile(argv[1]);
    if (!a || !b || a->width != b->width || a->height != b->height) {
        std::fprintf(stderr, "xtool: pictures missing or of different sizes\n");
        return 2;
    }
    const int x0 = std::atoi(argv[2]), y0 = std::atoi(argv[3]);
    const int w = std::atoi(argv[4]), h = std::atoi(argv[5]);
    long differing = 0;
    for (int y = y0; y < y0 + h && y < a->height; ++y) {
        for (int x = x0; x < x0 + w && x < a->width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * a->width + x;
            differing += a->pixels[i] != b->pixels[i] ? 1 : 0;
        }
    }
    std::printf("%ld pixels differ\n", differing);
    return differing == 0 ? 0 : 1;
}

// _NET_WM_ICON: width, height, then width * height ARGB pixels, one per long.
int Icon(Display* display, const char* path, Window window) {
    const Atom property = XInternAtom(display, "_NET_WM_ICON", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1 << 20, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) != Success ||
        data == nullptr) {
        return 1;
    }
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    platform::Image picture;
    if (format == 32 && count >= 2) {
        picture.width = static_cast<int>(values[0]);
        picture.height = static_cast<int>(values[1]);
    }
    const unsigned long pixels =
        static_cast<unsigned long>(picture.width) * static_cast<unsigned long>(picture.height);
    if (picture.width <= 0 || picture.height <= 0 || count < 2 + pixels) {
        XFree(data);
        return 1;
    }
    for (unsigned long i = 0; i < pixels; ++i) {
        picture.pixels.push_back(static_cast<std::uint32_t>(values[2 + i]));
    }
    XFree(data);
    return platform::WritePngFile(path, picture) ? 0 : 1;
}

// Prints how many pixels of the region of a picture are not black; succeeds when at least a
// tenth of them are (something is drawn there).
int Lit(char** argv) {
    const std::optional<platform::Image> a = platform::LoadImageFile(argv[0]);
    if (!a) {
        std::fprintf(stderr, "xtool: no picture %s\n", argv[0]);
        return 2;
    }
    const int x0 = std::atoi(argv[1]), y0 = std::atoi(argv[2]);
    const int w = std::atoi(argv[3]), h = std::atoi(argv[4]);
    long lit = 0, all = 0;
    for (int y = std::max(0, y0); y < y0 + h && y < a->height; ++y) {
        for (int x = std::max(0, x0); x < x0 + w && x < a->width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * a->width + x;
            lit += (a->pixels[i] & 0xFFFFFFu) != 0 ? 1 : 0;
            ++all;
        }
    }
    std::printf("%ld of %ld pixels lit\n", lit, all);
    return all > 0 && lit * 10 >= all ? 0 : 1;
}

// The title of the window or of the first of its descendants that has one (a window
// manager's frame holds the program's window).
std::optional<std::string> TitleWithin(Display* display, Window window) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        std::string title = name;
        XFree(name);
        return title;
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::optional<std::string> found;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0) {
        for (unsigned i = count; i-- > 0 && !found;) {
            found = TitleWithin(display, children[i]);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

int Top(Display* display, int x, int y) {
    Window root = DefaultRootWindow(display);
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) {
        return 1;
    }
    std::optional<std::string> title;
    for (unsigned i = count; i-- > 0;) {  // top of the stack first
        XWindowAttributes a{};
        if (XGetWindowAttributes(display, children[i], &a) == 0 || a.map_state != IsViewable ||
            x < a.x || y < a.y || x >= a.x + a.width || y >= a.y + a.height) {
            continue;
        }
        title = TitleWithin(display, children[i]);
        break;
    }
    if (children != nullptr) {
        XFree(children);
    }
    std::printf("%s\n", title.value_or("").c_str());
    return title ? 0 : 1;
}

int Other(Display* display, int seconds) {
    Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0xFFFFFF);
    XStoreName(display, window, "altro");
    XMapRaised(display, window);
    XSync(display, False);
    sleep(static_cast<unsigned>(seconds));
    XDestroyWindow(display, window);
    XSync(display, False);
    return 0;
}

int Kept(Display* display, Window window, int ms) {
    XSelectInput(display, window, FocusChangeMask);
    XSync(display, False);
    int lost = 0;
    for (int waited = 0; waited < ms; waited += 10) {
        while (XPending(display) > 0) {
            XEvent e;
            XNextEvent(display, &e);
            // Focus moving into one of the window's children is not a loss.
            if (e.type == FocusOut && e.xfocus.window == window &&
                e.xfocus.detail != NotifyInferior && e.xfocus.detail != NotifyPointer) {
                ++lost;
            }
        }
        usleep(10000);
    }
    if (lost > 0) {
        std::printf("lost the focus %d times\n", lost);
    }
    return lost == 0 ? 0 : 1;
}

bool WindowManagerRuns(Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool runs = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                   XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                count == 1;
    if (data != nullptr) {
        XFree(data);
    }
    return runs;
}

}  // namespace

int main(int argc, char** argv) {
    const bool top = argc >= 4 && std::strcmp(argv[1], "top") == 0;
    const bool other = argc >= 3 && std::strcmp(argv[1], "other") == 0;
    const bool wm = argc >= 2 && std::strcmp(argv[1], "wm") == 0;
    const bool kept = argc >= 4 && std::strcmp(argv[1], "kept") == 0;
    if (top || other || wm || kept) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            return 1;
        }
        const int result =
            top     ? Top(display, std::atoi(argv[2]), std::atoi(argv[3]))
            : other ? Other(display, std::atoi(argv[2]))
            : kept  ? Kept(display, std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]))
                    : (WindowManagerRuns(display) ? 0 : 1);
        XCloseDisplay(display);
        return result;
    }
    if (argc >= 8 && std::strcmp(argv[1], "same") == 0) {
        return Same(argv + 2);
    }
    if (argc >= 7 && std::strcmp(argv[1], "lit") == 0) {
        return Lit(argv + 2);
    }
    const bool shot = argc >= 3 && std::strcmp(argv[1], "shot") == 0;
    const bool close = argc >= 3 && std::strcmp(argv[1], "close") == 0;
    const bool icon = argc >= 4 && std::strcmp(argv[1], "icon") == 0;
    if (!shot && !close && !icon) {
        std::fprintf(stderr,
                     "usage: xtool shot <file.png> [<window>] | xtool close <window> |\n"
                     "       xtool same <a.png> <b.png> <x> <y> <w> <h> |\n"
                     "       xtool icon <file.png> <window> | xtool lit <a.png> <x> <y> <w> <h> |\n"
                     "       xtool top <x> <y> | xtool other <seconds> | xtool wm |\n"
                     "       xtool kept <window> <ms>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "xtool: no X display\n");
        return 1;
    }
    int result = 0;
    if (shot) {
        const Window window =
            argc >= 4 ? std::strtoul(argv[3], nullptr, 0) : DefaultRootWindow(display);
        result = Shot(display, argv[2], window);
    } else if (icon) {
        result = Icon(display, argv[2], std::strtoul(argv[3], nullptr, 0));
    } else {
        result = Close(display, std::strtoul(argv[2], nullptr, 0));
    }
    XCloseDisplay(display);
    return result;
}
