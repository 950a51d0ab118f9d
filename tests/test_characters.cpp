// test_characters.cpp: the generated characters load with counts the scenes hold, their loops
// wrap, the key frames hold the poses the parts need, and the spark vertex is the right hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "data/characters.h"
#include "scene/model.h"
#include "support/gl_context.h"
#include "support/test_data.h"
#include "writers/mdl_writer.h"

namespace {

struct Built {
    MdlModel model;
    Picture skin;
    std::vector<int> parts;
};

// The three characters, built once for the whole test program.
const Built &built(CharacterKind kind) {
    static Built cache[CHARACTER_COUNT];
    if (cache[kind].parts.empty()) build_character(kind, cache[kind].model, cache[kind].skin, &cache[kind].parts);
    return cache[kind];
}

std::string file_name(int kind, const char *extension) { return character_name(CharacterKind(kind)) + std::string(extension); }

// Position of vertex v of frame f of a loaded model (scene axes: x left, y up, z forward).
const float *at(const Model &m, int f, int v) { return m.frames + (size_t(f) * m.vertex_count + v) * 3; }
// Root-mean-square distance between two frames of a loaded model.
float frame_distance(const Model &m, int a, int b) {
    double sum = 0;
    for (int v = 0; v < m.vertex_count; v++)
        for (int c = 0; c < 3; c++) sum += std::pow(at(m, a, v)[c] - at(m, b, v)[c], 2);
    return float(std::sqrt(sum / m.vertex_count));
}
// Largest step between neighbouring frames of a range.
float largest_step(const Model &m, int first, int last) {
    float worst = 0;
    for (int f = first; f < last; f++) worst = std::max(worst, frame_distance(m, f, f + 1));
    return worst;
}

class CharactersLoaded : public GlContextTest {
  protected:
    void SetUp() override {
        GlContextTest::SetUp();
        enter_data_dir();
        free_model_table();
        reset_textures();
        create_model_table();
        for (int k = 0; k < CHARACTER_COUNT; k++) {
            const Built &b = built(CharacterKind(k));
            ASSERT_TRUE(write_file(file_name(k, ".mdl"), mdl_encode(b.model)));
            ASSERT_TRUE(write_file(file_name(k, ".bmp"), bmp_encode_24(b.skin)));
            load_model(file_name(k, ".mdl").c_str());
        }
    }
    const Model &model(CharacterKind kind) { return model_table[kind]; }
};

}  // namespace

TEST_F(CharactersLoaded, CountsFitTheScenes) {
    ASSERT_EQ(model_count, 3);
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        const Model &m = model(CharacterKind(k));
        SCOPED_TRACE(m.name);
        EXPECT_TRUE(m.vertex_count >= 400 && m.vertex_count <= 700) << m.vertex_count;
        EXPECT_TRUE(m.triangle_count >= 600 && m.triangle_count <= 1000) << m.triangle_count;
        EXPECT_GE(m.frame_count, 210);
        for (int i = 0; i < m.triangle_count; i++)  // the loader checks the index range
            EXPECT_TRUE(m.faces[i].a != m.faces[i].b && m.faces[i].b != m.faces[i].c && m.faces[i].a != m.faces[i].c) << i;
        for (int v = 0; v < m.vertex_count; v++) EXPECT_TRUE(m.vertices[v].u >= 0 && m.vertices[v].u <= 1) << v;
    }
    EXPECT_GE(model(CHAR_MESSIAH).vertex_count, 511);
}

TEST_F(CharactersLoaded, FramesKeepEveryVertexWithinTheByteRange) {
    // The loaded frame must match the built one (re-centred) within a quantization step (half
    // for the vertex, half for the centre): a vertex clamped at the byte range is off by more.
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        const Built &b = built(CharacterKind(k));
        const Model &m = model(CharacterKind(k));
        SCOPED_TRACE(m.name);
        float scale[3], low[3] = {1e9f, 1e9f, 1e9f};
        memcpy(scale, m.header + 8, sizeof scale);
        for (const std::vector<float> &frame : b.model.frames)
            for (int v = 0; v < m.vertex_count; v++)
                for (int c = 0; c < 3; c++) low[c] = std::min(low[c], frame[v * 3 + c]);
        EXPECT_NEAR(low[2], 0.0f, 1e-4) << "the feet stand on z = 0";
        for (int f = 0; f < m.frame_count; f++) {
            const std::vector<float> &frame = b.model.frames[f];
            double mean0 = 0, mean2 = 0;
            for (int v = 0; v < m.vertex_count; v++) mean0 += frame[v * 3 + 1] - low[1], mean2 += frame[v * 3] - low[0];
            mean0 /= m.vertex_count;
            mean2 /= m.vertex_count;
            for (int v = 0; v < m.vertex_count; v++) {
                const float *p = at(m, f, v);
                ASSERT_NEAR(p[0], frame[v * 3 + 1] - low[1] - mean0, scale[1] + 1e-3f) << f << " " << v;
                ASSERT_NEAR(p[1], frame[v * 3 + 2] - low[2], scale[2] + 1e-3f) << f << " " << v;
                ASSERT_NEAR(p[2], frame[v * 3] - low[0] - mean2, scale[0] + 1e-3f) << f << " " << v;
            }
        }
    }
}

TEST_F(CharactersLoaded, LoopsWrapWithoutAJump) {
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        const Model &m = model(CharacterKind(k));
        SCOPED_TRACE(m.name);
        // The walk cycle: from its last frame back to its first is one ordinary step.
        float walk = largest_step(m, 40, 45);
        EXPECT_GT(walk, 0.5f) << "the walk moves";
        EXPECT_LE(frame_distance(m, 45, 40), walk * 1.2f);
        // The stand and its tails that parts loop (0-39, 16-39, 20-39).
        float stand = largest_step(m, 0, 39);
        EXPECT_GT(stand, 0.02f) << "the stand breathes";
        for (int first : {0, 16, 20}) EXPECT_LE(frame_distance(m, 39, first), stand * 1.2f) << first;
        // A turn on the spot loops the stand's first five frames.
        EXPECT_LE(frame_distance(m, 4, 0), largest_step(m, 0, 4) * 1.2f);
        // Looped gestures start and end on the same pose.
        EXPECT_LE(frame_distance(m, 83, 72), largest_step(m, 72, 83) * 0.5f);
        EXPECT_LE(frame_distance(m, 123, 96), largest_step(m, 96, 123) * 1.2f);
    }
}

TEST_F(CharactersLoaded, MessiahSparkVertexIsTheRightHand) {
    const Built &b = built(CHAR_MESSIAH);
    const Model &m = model(CHAR_MESSIAH);
    ASSERT_EQ(b.parts[510], P_HAND_R);
    // Arms hanging (frame 0): the hand lies further to the character's right (scene -x) than
    // any torso vertex. Pointing (frame 128): further forward (scene +z) than any torso vertex.
    float right_most = 1e9f, front_most = -1e9f;
    for (int v = 0; v < m.vertex_count; v++)
        if (b.parts[v] == P_TORSO || b.parts[v] == P_SKIRT) {
            right_most = std::min(right_most, at(m, 0, v)[0]);
            front_most = std::max(front_most, at(m, 128, v)[2]);
        }
    EXPECT_LT(at(m, 0, 510)[0], right_most);
    EXPECT_GT(at(m, 128, 510)[2], front_most + 10);
}

TEST_F(CharactersLoaded, OilRoomPatchIsTheMessiahsAmulet) {
    // The oil room throws off the vertices whose loaded (u, v) lie strictly inside this window.
    const Built &b = built(CHAR_MESSIAH);
    const Model &m = model(CHAR_MESSIAH);
    int inside = 0;
    for (int v = 0; v < m.vertex_count; v++) {
        float u = m.vertices[v].u, t = m.vertices[v].v;
        bool in = 0.56640625f < u && u < 0.64453125f && 0.5234375f < t && t < 0.63671875f;
        EXPECT_EQ(in, b.parts[v] == P_AMULET) << v;
        inside += in;
    }
    EXPECT_GE(inside, 4);
}

TEST_F(CharactersLoaded, KeyFramesHoldTheirPoses) {
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        const Built &b = built(CharacterKind(k));
        const Model &m = model(CharacterKind(k));
        SCOPED_TRACE(m.name);
        int hand = -1;
        float front = -1e9f, head_top = -1e9f, hand_high = -1e9f, height135 = 0, height183 = 0;
        for (int v = 0; v < m.vertex_count; v++) {
            if (b.parts[v] == P_HAND_R && (hand < 0 || at(m, 78, v)[2] > at(m, 78, hand)[2])) hand = v;
            if (b.parts[v] == P_HAND_R) hand_high = std::max(hand_high, at(m, 115, v)[1]);
            if (b.parts[v] == P_HEAD) head_top = std::max(head_top, at(m, 115, v)[1]);
            front = std::max(front, at(m, 78, v)[2]);
            height135 = std::max(height135, at(m, 135, v)[1]);
            height183 = std::max(height183, at(m, 183, v)[1]);
        }
        // 78: the touch. The right hand is the body's front-most point, far enough in front
        // of the centre to reach a mirror 56 / 3 units away (the scale of the mirror room).
        EXPECT_FLOAT_EQ(at(m, 78, hand)[2], front);
        EXPECT_GT(front, 56.0f / 3.0f - 1.5f);
        EXPECT_GT(front, at(m, 72, hand)[2] + 10);
        // 115: the beam pose with the right hand raised above the head.
        EXPECT_GT(hand_high, head_top);
        // 135 and 203: upright and still; 183: lying on the floor.
        EXPECT_GT(height135, 50.0f);
        EXPECT_LT(height183, height135 * 0.35f);
        EXPECT_LT(frame_distance(m, 135, 203), 1.5f);
        // 204 starts a turn: the body's front leaves the +z direction.
        EXPECT_GT(frame_distance(m, 203, 204), 2.0f);
    }
}

TEST(CharacterSkins, PowerOfTwoAndFatherInTheLeftFifths) {
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        const Picture &p = built(CharacterKind(k)).skin;
        EXPECT_EQ((p.width & (p.width - 1)) | (p.height & (p.height - 1)), 0) << p.width << "x" << p.height;
        for (int y = 0; y < p.height; y++)  // no texel is the transparent key colour
            for (int x = 0; x < p.width; x++) ASSERT_FALSE(p.at(x, y)[0] == 255 && p.at(x, y)[1] == 0 && p.at(x, y)[2] == 255);
    }
    // The father's texture coordinates are squeezed to 80% at load, so his picture must lie in
    // the left 80% of the width: the right fifth is plain filler, unlike the messiah's.
    auto right_fifth_varies = [](const Picture &p) {
        const uint8_t *first = p.at(p.width * 4 / 5 + 1, 0);
        for (int y = 0; y < p.height; y++)
            for (int x = p.width * 4 / 5 + 1; x < p.width; x++)
                if (memcmp(p.at(x, y), first, 3) != 0) return true;
        return false;
    };
    EXPECT_FALSE(right_fifth_varies(built(CHAR_FATHER).skin));
    EXPECT_TRUE(right_fifth_varies(built(CHAR_MESSIAH).skin));
}
