// window.h: the program's window and OpenGL context on SDL2, and its message queue.
#pragma once

enum { MSG_NONE, MSG_CLOSE, MSG_KEYDOWN, MSG_SIZE };
enum { KEY_ESCAPE = 27, KEY_RETURN = 13 };

struct WindowMessage {
    int kind;  // MSG_*
    int key;   // MSG_KEYDOWN: KEY_ESCAPE, KEY_RETURN or another code
    int width, height;  // MSG_SIZE: the new client size (already applied with set_screen_size)
};

// Fetch one pending window message; false when the queue is empty. Size changes are
// applied (low three bits cleared) and close requests set quit_flag before returning.
bool peek_window_message(WindowMessage &message);
// Swap the back buffer to the window.
void swap_window_buffers();
