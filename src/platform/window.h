// window.h: the program's window and OpenGL context on SDL2, and its message queue.
#pragma once

#include <cstdint>

struct SDL_Window;

// The window's settings, set from the command line before it is made.
extern bool full_screen;      // cleared by "window"
extern int32_t colour_depth;  // bits per pixel, "res"

// Window client size (multiples of 8 after the first resize).
int get_screen_width();
int get_screen_height();
void set_screen_size(int width, int height);

enum { MSG_NONE, MSG_CLOSE, MSG_KEYDOWN, MSG_SIZE };
// Key codes: Escape, Enter and Space as their characters; the movement keys and F5 as codes
// of their own above the characters; any other key as SDL's code.
enum { KEY_ESCAPE = 27, KEY_RETURN = 13, KEY_SPACE = 32 };
enum { KEY_LEFT = 0x100, KEY_RIGHT, KEY_PAGE_UP, KEY_PAGE_DOWN, KEY_HOME, KEY_F5 };

struct WindowMessage {
    int kind;  // MSG_*
    int key;   // MSG_KEYDOWN: KEY_ESCAPE, KEY_RETURN or another code
    int width, height;  // MSG_SIZE: the new client size (already applied with set_screen_size)
    bool shift = false; // MSG_KEYDOWN: a Shift key was held
};

// Fetch one pending window message; false when the queue is empty. Size changes are
// applied (low three bits cleared) before returning.
bool peek_window_message(WindowMessage &message);
// Swap the back buffer to the window.
void swap_window_buffers();

// Create the hidden window with its OpenGL context (made current) and log the pixel format;
// a window of exactly width x height client pixels at (0, 0), borderless when full_screen.
// On failure: a box titled "Error" naming the step, and null. x and y are not used.
SDL_Window *CreateOpenGLWindow(const char *title, int x, int y, int width, int height);
// What CreateOpenGLWindow found, for the log: "WxHxBITS depth:D stencil:S", with a first
// line "software" on a software rasterizer.
const char *window_pixel_format();
// The main window, or null before CreateOpenGLWindow.
SDL_Window *get_window();
// Show and raise the window, and take its client size as the first size message does.
void show_window();
// Release the context and destroy the window (shutdown).
void destroy_opengl_window();
// The screen size a client area of width x height gives: the three low bits cleared.
void apply_client_size(int width, int height);
// True when GL_RENDERER names a software rasterizer (llvmpipe, softpipe, swrast).
bool is_software_renderer(const char *renderer);
