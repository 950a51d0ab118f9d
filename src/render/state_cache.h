// state_cache.h: the OpenGL state the face and glow passes change, shadowed so that a run of
// faces or sprites asking for the same state sets it once, and the batch of triangles drawn
// under that state: faces in a row with the same texture, blend and depth settings reach the
// driver as one array instead of one call per vertex attribute.
#pragma once
#include <GL/gl.h>

// Take the real state as the start-up values: depth mask on, depth test LEQUAL, blend
// SRC_ALPHA / ONE_MINUS_SRC_ALPHA, 2D texturing on, texture environment MODULATE with a black
// colour, the bound texture unknown.
void state_cache_begin();
// Draw the batch, then put the start-up values back in the real state (the bound texture
// stays as it is).
void state_cache_end();

// One corner of a triangle for the batch, drawn with the state set when it was added. A full
// batch is drawn at once; so is the batch before any change of state.
void batch_vertex(const float position[3], float red, float green, float blue, float alpha, float u, float v);
// Draw the triangles gathered so far (before drawing any other way, or reading the picture).
void batch_flush();

// -1 turns 2D texturing off; any other value turns it on and binds that texture.
void state_texture(int texture);
void state_blend(GLenum source, GLenum destination);
void state_depth_mask(bool write);
void state_depth_func(GLenum func);
// The texture environment: BLEND with the given colour, or MODULATE with black when null.
void state_texture_env(const float *blend_colour);
