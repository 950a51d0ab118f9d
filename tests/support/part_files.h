// part_files.h: the files the built demo parts load, written into the working directory
// from the generator's own content sources, for tests that run the whole driver.
#pragma once

// Write the scenes and pictures of the built parts and the three characters (generated
// once per process), load the characters into a fresh model table and make the renderer's
// working arrays, so run_demo can load and draw every built part.
void prepare_part_files();
