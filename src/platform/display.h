// display.h: display-mode switching and the mouse cursor.
#pragma once

// A display mode as the system reports it.
struct DisplayMode {
    int width, height, bits, refresh_rate;
};

// Fill the template with the desktop mode of the first display (zeros when there is none).
void get_desktop_display_mode(DisplayMode &mode);
// Switch the window to width x height at the given depth, full-screen. Fatal with
// "%dx%dx%d not supported" when no such mode exists and with "Couldn't set %dx%dx%d...
// IT IS SUPPORTED!" when the switch fails; true otherwise. Headless there is nothing to switch.
bool set_display_mode(int width, int height, int bits, DisplayMode &mode);
// Leave full-screen and give the desktop mode back (nothing when never switched).
void restore_display_mode();
// Show or hide the mouse cursor.
void show_cursor(bool show);
