// display.cpp: display-mode switching and the mouse cursor on SDL2.
#include "platform/display.h"

#include <SDL2/SDL.h>

#include "platform/fatal.h"
#include "platform/message_box.h"
#include "platform/window.h"

static bool mode_switched = false;

// Bits per pixel as a mode is asked for: 32-bit modes are 24 bits in 4 bytes.
static int mode_bits(Uint32 format) {
    if (SDL_BYTESPERPIXEL(format) == 4) return 32;
    return int(SDL_BITSPERPIXEL(format));
}

// The desktop mode of display 0.
void get_desktop_display_mode(DisplayMode &mode) {
    mode = DisplayMode{0, 0, 0, 0};
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return;
    mode = DisplayMode{desktop.w, desktop.h, mode_bits(desktop.format), desktop.refresh_rate};
}

// Find the exact size, preferring the asked depth; switch the window to it.
bool set_display_mode(int width, int height, int bits, DisplayMode &mode) {
    mode.width = width;
    mode.height = height;
    mode.bits = bits;
    if (is_headless()) return true;
    SDL_DisplayMode found{}, candidate{};
    bool have = false;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; i++) {
        if (SDL_GetDisplayMode(0, i, &candidate) != 0) continue;
        if (candidate.w != width || candidate.h != height) continue;
        if (!have || (mode_bits(candidate.format) == bits && mode_bits(found.format) != bits)) {
            found = candidate;
            have = true;
        }
    }
    if (!have) fatal_errorf("%dx%dx%d not supported", width, height, bits);
    SDL_Window *window = get_window();
    mode_switched = true;  // so a failure half-way still gives the desktop back
    if (!window || SDL_SetWindowDisplayMode(window, &found) != 0 ||
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0)
        fatal_errorf("Couldn't set %dx%dx%d... IT IS SUPPORTED!", width, height, bits);
    mode.refresh_rate = found.refresh_rate;
    return true;
}

// Back to the desktop mode.
void restore_display_mode() {
    if (!mode_switched) return;
    mode_switched = false;
    if (SDL_Window *window = get_window()) SDL_SetWindowFullscreen(window, 0);
}

// SDL keeps one cursor state, not a count.
void show_cursor(bool show) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
