// message_box.h: message boxes through SDL, with standard error where no box can be shown.
#pragma once

// True when there is no display to show anything on (offscreen or dummy video driver).
bool is_headless();
// A box with an OK button; false when none could be shown (headless, or no display).
bool show_message_box(const char *text, const char *title);
// A box with an OK button; headless, or when no box can be shown, the text goes to stderr.
void message_box(const char *text, const char *title);
// A Yes/No question; true for Yes. Where no box can be shown the answer is Yes.
bool message_box_yes_no(const char *text, const char *title);
