// message_box.cpp: message boxes through SDL, with standard error where no box can be shown.
#include "platform/message_box.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/window.h"

// The video driver in use, or the one SDL will pick when not yet initialised.
bool is_headless() {
    const char *driver = SDL_GetCurrentVideoDriver();
    if (!driver) driver = getenv("SDL_VIDEODRIVER");
    if (!driver) return getenv("DISPLAY") == nullptr && getenv("WAYLAND_DISPLAY") == nullptr;
    return strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0;
}

// OK box through SDL, never headless.
bool show_message_box(const char *text, const char *title) {
    if (is_headless()) return false;
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0;
}

// OK box, or stderr.
void message_box(const char *text, const char *title) {
    if (!show_message_box(text, title)) fprintf(stderr, "%s: %s\n", title, text);
}

// Yes/No box; Yes where none can be shown.
bool message_box_yes_no(const char *text, const char *title) {
    if (is_headless()) return true;
    const SDL_MessageBoxButtonData buttons[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    const SDL_MessageBoxData data = {SDL_MESSAGEBOX_WARNING, get_window(), title, text,
                                     2, buttons, nullptr};
    int answer = 1;
    if (SDL_ShowMessageBox(&data, &answer) != 0) return true;
    return answer == 1;
}
