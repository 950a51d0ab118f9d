// part_state.h: what a demo part changes while it plays: every array of its scene at its
// capacity, the scene and camera records and the part's own record. A part's state is kept
// as its load left it, so one reset puts it back; the show's replays save and restore it,
// and a digest sums it up field by field.
#pragma once
#include <cstddef>
#include <cstdint>

// Run demo part k's load (1 to 12), then keep its state as the load left it.
void part_load(int part);
// The bytes of part k's state (0 when it is not loaded).
size_t part_state_size(int part);
// Copy part k's state out to `bytes` (part_state_size of them), or back in from them.
void part_save(int part, uint8_t *bytes);
void part_restore(int part, const uint8_t *bytes);
// Put part k back to what its load left, without loading anything again.
void part_reset(int part);
// A digest of part k's whole state: every field of every vertex, face, mesh, light and key
// up to the last one that is not as created, the scene and camera records and the part's own
// record (record padding left out, so is room never used).
uint64_t part_digest(int part);
