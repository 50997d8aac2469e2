// Asks the X server itself. SDL records the size it asked for when a window
// goes full screen; on a bare server nobody grants that, and the window keeps
// its old size while SDL believes it covers the screen.
#include "platform/sdl/x11_window.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace {
bool x11(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
           info.info.x11.display != nullptr;
}
}  // namespace

bool haswindowmanager(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11(window, info)) return true;
    ::Display* display = info.info.x11.display;
    // A conforming window manager keeps this property on the root window,
    // naming a child window of its own that carries the same property.
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data != nullptr) {
        found = *reinterpret_cast<::Window*>(data) != None;
    }
    if (data) XFree(data);
    return found;
}

bool realwindowsize(SDL_Window* window, int& width, int& height) {
    SDL_SysWMinfo info;
    if (!x11(window, info)) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) {
        return false;
    }
    width = attributes.width;
    height = attributes.height;
    return true;
}
