// What SDL does not tell about a window on an X server: whether a window
// manager runs, and the size the window really has on the screen.
#pragma once

struct SDL_Window;

// True when a window manager announces itself on the window's screen, and on
// any display system other than X (where the system itself manages windows).
bool haswindowmanager(SDL_Window* window);

// The window's size as the X server has it. False, and nothing changed, when
// the window is not an X window or the server cannot be asked.
bool realwindowsize(SDL_Window* window, int& width, int& height);
