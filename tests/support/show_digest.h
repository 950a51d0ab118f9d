// show_digest.h: the show played from its start without drawing, at a fixed step, with the
// state of every part it plays digested after every step: one digest per part per second.
#pragma once
#include <string>

// The step of the digested run: frames a second.
constexpr int SHOW_DIGEST_RATE = 30;

// In the working directory (a GL context current): write the parts' files and load every
// part as the driver does, with the show's own time table; the show is at its start.
void load_whole_show();
// A digest of the state of demo part k, or for k = 0 of the show's own state (the random
// sequence, the models' animations, the frame clock).
uint64_t show_part_digest(int part);
// Play frames `from` to `to` - 1 of a run at SHOW_DIGEST_RATE hidden, on the fixed clock, as
// the driver would from the current state (nothing is saved or restored).
void play_hidden_frames(uint32_t from, uint32_t to);

// Load the whole show and play it hidden at SHOW_DIGEST_RATE from its start. Each row is
// "second part digest": for every second of the show and every part played in it, the
// digests of the part's state after each of that second's steps, folded in order; part 0 is
// the show's own state (the random sequence, the models, the frame clock).
std::string show_digest_table();
