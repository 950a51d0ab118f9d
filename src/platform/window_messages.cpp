// window_messages.cpp: the window's message queue: size, close and key messages from SDL events.
#include <SDL2/SDL.h>

#include "platform/window.h"

// The key code a message carries: Escape 27, Enter 13 (both Enter keys), the movement keys
// and F5 as the window's own codes, else SDL's code.
static int message_key(SDL_Keycode key) {
    switch (key) {
    case SDLK_ESCAPE: return KEY_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KEY_RETURN;
    case SDLK_LEFT: return KEY_LEFT;
    case SDLK_RIGHT: return KEY_RIGHT;
    case SDLK_PAGEUP: return KEY_PAGE_UP;
    case SDLK_PAGEDOWN: return KEY_PAGE_DOWN;
    case SDLK_HOME: return KEY_HOME;
    case SDLK_F5: return KEY_F5;
    default: return int(key);
    }
}

// Events other than size, close and key presses are consumed and skipped.
bool peek_window_message(WindowMessage &message) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        message = WindowMessage{MSG_NONE, 0, 0, 0, false};
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
            message.kind = MSG_CLOSE;
            return true;
        }
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            apply_client_size(event.window.data1, event.window.data2);
            message.kind = MSG_SIZE;
            message.width = event.window.data1;
            message.height = event.window.data2;
            return true;
        }
        if (event.type == SDL_KEYDOWN) {
            message.kind = MSG_KEYDOWN;
            message.key = message_key(event.key.keysym.sym);
            message.shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
            return true;
        }
    }
    return false;
}
