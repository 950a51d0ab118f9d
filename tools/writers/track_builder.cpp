// track_builder.cpp: keyframe track helpers: keys, sampled functions, orbits, paths.
#include "writers/track_builder.h"

#include <cmath>

#include "platform/fatal.h"

void track_add(KeyTrack &track, int frame, float a, float b, float c, float d) {
    if (!track.keys.empty() && frame <= track.keys.back().frame)
        fatal_errorf("track_add: frame %d after frame %d", frame, track.keys.back().frame);
    TrackKey key;
    key.frame = frame;
    key.value[0] = a;
    key.value[1] = b;
    key.value[2] = c;
    key.value[3] = d;
    track.keys.push_back(key);
}

KeyTrack track_sample(int first_frame, int last_frame, int step, void (*f)(float frame, float out[4], void *context),
                      void *context) {
    if (step < 1 || last_frame < first_frame) fatal_errorf("track_sample: frames %d..%d step %d", first_frame, last_frame, step);
    KeyTrack track;
    for (int frame = first_frame;; frame += step) {
        if (frame > last_frame) frame = last_frame;
        float out[4] = {0, 0, 0, 0};
        f(float(frame), out, context);
        track_add(track, frame, out[0], out[1], out[2], out[3]);
        if (frame == last_frame) break;
    }
    return track;
}

KeyTrack track_orbit(float cx, float cy, float z, float radius, float start_angle, float turns, int first_frame,
                     int last_frame, int count) {
    if (count < 2 || last_frame <= first_frame) fatal_errorf("track_orbit: %d keys over %d..%d", count, first_frame, last_frame);
    KeyTrack track;
    for (int i = 0; i < count; i++) {
        float f = float(i) / (count - 1);
        int frame = first_frame + int(std::lround(f * (last_frame - first_frame)));
        if (!track.keys.empty() && frame <= track.keys.back().frame) continue;
        float a = start_angle + f * turns * 6.28318531f;
        track_add(track, frame, cx + radius * std::cos(a), cy + radius * std::sin(a), z);
    }
    return track;
}

KeyTrack track_path(const std::vector<float> &points, int first_frame, int last_frame) {
    size_t n = points.size() / 3;
    if (n < 1 || points.size() % 3) fatal_errorf("track_path: %zu coordinates", points.size());
    KeyTrack track;
    std::vector<float> along(n, 0);
    for (size_t i = 1; i < n; i++) {
        const float *a = &points[(i - 1) * 3], *b = &points[i * 3];
        along[i] = along[i - 1] + std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) +
                                            (b[2] - a[2]) * (b[2] - a[2]));
    }
    float total = along[n - 1] > 0 ? along[n - 1] : 1;
    for (size_t i = 0; i < n; i++) {
        int frame = first_frame + int(std::lround(along[i] / total * (last_frame - first_frame)));
        if (!track.keys.empty() && frame <= track.keys.back().frame) frame = track.keys.back().frame + 1;
        track_add(track, frame, points[i * 3], points[i * 3 + 1], points[i * 3 + 2]);
    }
    return track;
}

void track_value(const KeyTrack &track, float frame, float out[4]) {
    for (int i = 0; i < 4; i++) out[i] = 0;
    if (track.keys.empty()) return;
    size_t j = 0;
    while (j + 1 < track.keys.size() && track.keys[j + 1].frame <= frame) j++;
    const TrackKey &a = track.keys[j];
    if (j + 1 >= track.keys.size() || frame <= a.frame) {
        for (int i = 0; i < 4; i++) out[i] = a.value[i];
        return;
    }
    const TrackKey &b = track.keys[j + 1];
    float f = (frame - a.frame) / float(b.frame - a.frame);
    for (int i = 0; i < 4; i++) out[i] = a.value[i] + (b.value[i] - a.value[i]) * f;
}
