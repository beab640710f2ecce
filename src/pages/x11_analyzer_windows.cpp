#include "pages/x11_analyzer_windows.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <vector>

namespace vantu {
namespace {

constexpr long kRemove = 0;
constexpr long kAdd = 1;
// Source indication of EWMH client messages: a pager, so the request is honoured.
constexpr long kSourcePager = 2;

::Display* Dpy(void* display) {
    return static_cast<::Display*>(display);
}

std::string TitleOf(::Display* display, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    std::string title;
    if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && type == utf8) {
        title.assign(reinterpret_cast<char*>(data), count);
    } else {
        char* name = nullptr;
        if (XFetchName(display, window, &name) != 0 && name != nullptr) {
            title = name;
            XFree(name);
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

// Top-level windows: the root's children and, under a reparenting window manager,
// their children.
std::vector<Window> TopLevels(::Display* display) {
    std::vector<Window> windows;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return windows;
    }
    for (unsigned int i = 0; i < count; ++i) {
        windows.push_back(children[i]);
        Window* inner = nullptr;
        unsigned int inner_count = 0;
        if (XQueryTree(display, children[i], &root, &parent, &inner, &inner_count) != 0) {
            windows.insert(windows.end(), inner, inner + inner_count);
            if (inner != nullptr) {
                XFree(inner);
            }
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return windows;
}

void SendToRoot(::Display* display, Window window, const char* message,
                std::initializer_list<long> values) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, message, False);
    event.xclient.format = 32;
    int slot = 0;
    for (long value : values) {
        event.xclient.data.l[slot++] = value;
    }
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void AskToClose(::Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
}

}  // namespace

std::unique_ptr<X11AnalyzerWindows> X11AnalyzerWindows::Open(QWidget& frame) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        return nullptr;
    }
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<X11AnalyzerWindows>(new X11AnalyzerWindows(display, frame));
}

X11AnalyzerWindows::X11AnalyzerWindows(void* display, QWidget& frame)
    : display_(display), frame_(frame) {}

X11AnalyzerWindows::~X11AnalyzerWindows() {
    XCloseDisplay(Dpy(display_));
}

bool X11AnalyzerWindows::Find(const std::string& title) {
    ::Display* display = Dpy(display_);
    window_ = 0;
    // Mapped or not: a minimised window is unmapped, and missing it would start a second
    // analysis program that takes the socket from the first. Restore maps it again.
    for (Window window : TopLevels(display)) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) != 0 &&
            attributes.c_class == InputOutput && TitleOf(display, window) == title) {
            window_ = window;
            return true;
        }
    }
    return false;
}

bool X11AnalyzerWindows::ClosePopup() {
    ::Display* display = Dpy(display_);
    bool closed = false;
    for (Window window : TopLevels(display)) {
        Window owner = 0;
        XWindowAttributes attributes{};
        if (window != window_ && XGetTransientForHint(display, window, &owner) != 0 &&
            owner == window_ && XGetWindowAttributes(display, window, &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            AskToClose(display, window);
            closed = true;
        }
    }
    XFlush(display);
    return closed;
}

void X11AnalyzerWindows::Restore() {
    ::Display* display = Dpy(display_);
    XMapWindow(display, window_);
    SendToRoot(display, window_, "_NET_WM_STATE",
               {kRemove, static_cast<long>(XInternAtom(display, "_NET_WM_STATE_HIDDEN", False)), 0,
                kSourcePager});
    XFlush(display);
}

void X11AnalyzerWindows::Raise(bool activate) {
    ::Display* display = Dpy(display_);
    XRaiseWindow(display, window_);
    if (activate) {
        SendToRoot(display, window_, "_NET_ACTIVE_WINDOW", {kSourcePager, CurrentTime, 0});
    }
    XFlush(display);
}

void X11AnalyzerWindows::Lower() {
    ::Display* display = Dpy(display_);
    XLowerWindow(display, window_);
    XFlush(display);
}

void X11AnalyzerWindows::SetKeepAbove(bool above) {
    ::Display* display = Dpy(display_);
    SendToRoot(
        display, window_, "_NET_WM_STATE",
        {above ? kAdd : kRemove,
         static_cast<long>(XInternAtom(display, "_NET_WM_STATE_ABOVE", False)), 0, kSourcePager});
    XFlush(display);
}

void X11AnalyzerWindows::MoveResize(const ScreenRect& rect) {
    if (rect.width <= 0 || rect.height <= 0) {
        return;
    }
    ::Display* display = Dpy(display_);
    XMoveResizeWindow(display, window_, rect.x, rect.y, static_cast<unsigned>(rect.width),
                      static_cast<unsigned>(rect.height));
    XFlush(display);
}

void X11AnalyzerWindows::RequestClose() {
    AskToClose(Dpy(display_), window_);
    XFlush(Dpy(display_));
}

ScreenRect X11AnalyzerWindows::FrameRect() {
    const QPoint origin = frame_.mapToGlobal(QPoint(0, 0));
    const qreal ratio = frame_.devicePixelRatioF();
    return {static_cast<int>(origin.x() * ratio), static_cast<int>(origin.y() * ratio),
            static_cast<int>(frame_.width() * ratio), static_cast<int>(frame_.height() * ratio)};
}

}  // namespace vantu
