// show_digest.h: the show played from its start without drawing, at a fixed step, with the
// state of every part it plays digested after every step: one digest per part per second.
#pragma once
#include <string>

// The step of the digested run: frames a second.
enum { SHOW_DIGEST_RATE = 30 };

// In the working directory (a GL context current): write the parts' files, load every part
// with the show's time table and play the whole show hidden at SHOW_DIGEST_RATE. Each row is
// "second part digest": for every second of the show and every part played in it, the
// digests of the part's state after each of that second's steps, folded in order; part 0 is
// the show's own state (the random sequence, the models, the frame clock).
std::string show_digest_table();
