// state_cache.h: the OpenGL state the face and glow passes change, shadowed so that a run of
// faces or sprites asking for the same state sets it once. Every change to the real state
// makes the driver flush the vertices gathered so far, so faces drawn in a row with the same
// texture, blend and depth settings then reach the rasterizer as one batch.
#pragma once
#include <GL/gl.h>

// Take the real state as the start-up values: depth mask on, depth test LEQUAL, blend
// SRC_ALPHA / ONE_MINUS_SRC_ALPHA, 2D texturing on, texture environment MODULATE with a black
// colour, the bound texture unknown.
void state_cache_begin();
// Put the start-up values back in the real state (the bound texture stays as it is).
void state_cache_end();

// -1 turns 2D texturing off; any other value turns it on and binds that texture.
void state_texture(int texture);
void state_blend(GLenum source, GLenum destination);
void state_depth_mask(bool write);
void state_depth_func(GLenum func);
// The texture environment: BLEND with the given colour, or MODULATE with black when null.
void state_texture_env(const float *blend_colour);
