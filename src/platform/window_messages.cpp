// window_messages.cpp: the window's message queue: size, close and key messages from SDL events.
#include <SDL2/SDL.h>

#include "platform/window.h"

// The key code a message carries: Escape 27, Enter 13 (both Enter keys), else SDL's code.
static int message_key(SDL_Keycode key) {
    if (key == SDLK_ESCAPE) return KEY_ESCAPE;
    if (key == SDLK_RETURN || key == SDLK_KP_ENTER) return KEY_RETURN;
    return int(key);
}

// Events other than size, close and key presses are consumed and skipped.
bool peek_window_message(WindowMessage &message) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        message = WindowMessage{MSG_NONE, 0, 0, 0};
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
            return true;
        }
    }
    return false;
}
