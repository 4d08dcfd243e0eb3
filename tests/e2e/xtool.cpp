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
#include <vector>

#include "platform/images/images.h"

namespace {

// The items of a window property of 32-bit values (Xlib gives one per long); none when the
// window does not have it.
std::vector<unsigned long> Property(Display* display, Window window, const char* name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False,
                           type, &actual, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return items;
}

// The children of a window, bottom of the stack first.
std::vector<Window> Children(Display* display, Window window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> list;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0 && children) {
        list.assign(children, children + count);
        XFree(children);
    }
    return list;
}

// Counts the pixels of the rectangle x y w h (argv[0..3]) of a picture for which count(i)
// holds; `all` gets the number of pixels of the rectangle within the picture.
template <typename Count>
long CountIn(const platform::Image& a, char** rect, long& all, Count count) {
    const int x0 = std::atoi(rect[0]), y0 = std::atoi(rect[1]);
    const int w = std::atoi(rect[2]), h = std::atoi(rect[3]);
    long n = 0;
    all = 0;
    for (int y = std::max(0, y0); y < y0 + h && y < a.height; ++y) {
        for (int x = std::max(0, x0); x < x0 + w && x < a.width; ++x) {
            n += count(static_cast<std::size_t>(y) * a.width + x) ? 1 : 0;
            ++all;
        }
    }
    return n;
}

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
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            picture.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(p & 0xFFFFFFu));
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
    long all = 0;
    const long differing =
        CountIn(*a, argv + 2, all, [&](std::size_t i) { return a->pixels[i] != b->pixels[i]; });
    std::printf("%ld pixels differ\n", differing);
    return differing == 0 ? 0 : 1;
}

// _NET_WM_ICON: width, height, then width * height ARGB pixels.
int Icon(Display* display, const char* path, Window window) {
    const std::vector<unsigned long> values =
        Property(display, window, "_NET_WM_ICON", XA_CARDINAL);
    platform::Image picture;
    if (values.size() >= 2) {
        picture.width = static_cast<int>(values[0]);
        picture.height = static_cast<int>(values[1]);
    }
    const unsigned long pixels =
        static_cast<unsigned long>(picture.width) * static_cast<unsigned long>(picture.height);
    if (picture.width <= 0 || picture.height <= 0 || values.size() < 2 + pixels) {
        return 1;
    }
    picture.pixels.assign(values.begin() + 2, values.begin() + 2 + static_cast<long>(pixels));
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
    long all = 0;
    const long lit =
        CountIn(*a, argv + 1, all, [&](std::size_t i) { return (a->pixels[i] & 0xFFFFFFu) != 0; });
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
    const std::vector<Window> children = Children(display, window);
    std::optional<std::string> found;
    for (auto child = children.rbegin(); child != children.rend() && !found; ++child) {
        found = TitleWithin(display, *child);
    }
    return found;
}

int Top(Display* display, int x, int y) {
    const std::vector<Window> children = Children(display, DefaultRootWindow(display));
    std::optional<std::string> title;
    for (auto child = children.rbegin(); child != children.rend(); ++child) {  // top first
        XWindowAttributes a{};
        if (XGetWindowAttributes(display, *child, &a) != 0 && a.map_state == IsViewable &&
            x >= a.x && y >= a.y && x < a.x + a.width && y < a.y + a.height) {
            title = TitleWithin(display, *child);
            break;
        }
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

// The commands that talk to the X server; argv[2..] are their arguments.
int OnDisplay(Display* display, const std::string& command, int argc, char** argv) {
    const auto window = [&](int i) {
        return static_cast<Window>(std::strtoul(argv[i], nullptr, 0));
    };
    if (command == "shot") {
        return Shot(display, argv[2], argc >= 4 ? window(3) : DefaultRootWindow(display));
    }
    if (command == "close") {
        return Close(display, window(2));
    }
    if (command == "icon") {
        return Icon(display, argv[2], window(3));
    }
    if (command == "top") {
        return Top(display, std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (command == "other") {
        return Other(display, std::atoi(argv[2]));
    }
    if (command == "kept") {
        return Kept(display, window(2), std::atoi(argv[3]));
    }
    // wm: a running window manager names its check window on the root window.
    const Window root = DefaultRootWindow(display);
    return Property(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).size() == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc >= 2 ? argv[1] : "";
    if (command == "same" && argc >= 8) {
        return Same(argv + 2);
    }
    if (command == "lit" && argc >= 7) {
        return Lit(argv + 2);
    }
    const bool known =
        ((command == "shot" || command == "close" || command == "other") && argc >= 3) ||
        ((command == "icon" || command == "top" || command == "kept") && argc >= 4) ||
        command == "wm";
    if (!known) {
        std::fprintf(stderr, "usage: xtool <command> <arguments> (see the top of xtool.cpp)\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "xtool: no X display\n");
        return 1;
    }
    const int result = OnDisplay(display, command, argc, argv);
    XCloseDisplay(display);
    return result;
}
