// graphics.h: the start-up of the OpenGL side: fixed state, shared resources, and the way back.
#pragma once

// The fixed OpenGL state that every drawing step relies on and puts back.
void set_fixed_gl_state();
// Fixed state, GL strings in the log, display mode, working arrays, shared textures and models.
void init_graphics();
// Free the engine tables, give the desktop display mode back and show the cursor.
void release_and_restore();
