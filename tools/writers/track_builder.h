// track_builder.h: keyframe tracks in a neutral form (frame, up to four values) for the
// scene writers: single keys, sampled functions, orbits and paths through points.
#pragma once
#include <vector>

struct TrackKey {
    int frame = 0;
    float value[4] = {0, 0, 0, 0};  // position x, y, z; or angle and axis; or one value (fov, roll)
};

struct KeyTrack {
    std::vector<TrackKey> keys;  // frames strictly increasing
};

// Append a key; frames must increase (fatal otherwise).
void track_add(KeyTrack &track, int frame, float a, float b = 0, float c = 0, float d = 0);
// Keys every `step` frames from first to last (last always included), values from f(frame).
KeyTrack track_sample(int first_frame, int last_frame, int step, void (*f)(float frame, float out[4], void *context),
                      void *context);
// Positions on a circle around (cx, cy) at height z (file frame, z up): `turns` turns
// starting at `start_angle` radians, `count` keys spread evenly from first to last frame.
KeyTrack track_orbit(float cx, float cy, float z, float radius, float start_angle, float turns, int first_frame,
                     int last_frame, int count);
// Positions through the given points (x, y, z triples), one key per point, frames spread by
// the distance between points so the speed is even.
KeyTrack track_path(const std::vector<float> &points, int first_frame, int last_frame);
// Value of the track at a frame by linear interpolation (for previews and checks).
void track_value(const KeyTrack &track, float frame, float out[4]);
