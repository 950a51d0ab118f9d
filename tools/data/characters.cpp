// characters.cpp: assembles a character: its body posed into every frame of the shared
// layout, stood on the floor, with file winding and texture coordinates, and its skin; and
// hands the three to the generator as "messiah.mdl", "father.mdl", "wolfguy.mdl" and the BMP
// skins of the same base names.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/fatal.h"
#include "characters.h"
#include "content.h"
#include "parts/scene_names.h"

static const int SKIN_SIZE = 256, HAND_VERTEX = MESSIAH_HAND_VERTEX;

const char *character_name(CharacterKind kind) {
    static const char *const names[CHARACTER_COUNT] = {"messiah", "father", "wolfguy"};
    return names[kind];
}

// Swap two vertices of a body, fixing the triangles that use them.
static void swap_vertices(CharacterBody &body, int a, int b) {
    if (a == b) return;
    std::swap(body.vertices[a], body.vertices[b]);
    for (int &i : body.triangles) {
        if (i == a) i = b;
        else if (i == b) i = a;
    }
}

// Put the tip of the right hand at the vertex index the parts take sparks from.
static void place_hand_vertex(CharacterBody &body) {
    int count = int(body.vertices.size());
    if (count <= HAND_VERTEX) fatal_errorf("characters: the body has %d vertices, the hand needs vertex %d", count, HAND_VERTEX);
    int best = -1;
    for (int i = 0; i < count; i++)
        if (body.vertices[i].part == P_HAND_R && (best < 0 || body.vertices[i].p.z < body.vertices[best].p.z))
            best = i;
    swap_vertices(body, best, HAND_VERTEX);
}

void build_character(CharacterKind kind, MdlModel &model, Picture &skin, std::vector<int> *vertex_parts) {
    CharacterBody body = build_body(kind);
    if (kind == CHAR_MESSIAH) place_hand_vertex(body);
    int n = int(body.vertices.size());
    if (vertex_parts) {
        vertex_parts->clear();
        for (const SkinVertex &v : body.vertices) vertex_parts->push_back(v.part);
    }

    model = MdlModel();
    model.skin_width = model.skin_height = SKIN_SIZE;
    model.skin.assign(size_t(SKIN_SIZE) * SKIN_SIZE, 0);
    for (const SkinVertex &v : body.vertices)
        model.texcoords.push_back({0, std::clamp(int(lroundf(v.u * SKIN_SIZE)), 0, SKIN_SIZE - 1),
                                   std::clamp(int(lroundf(v.v * SKIN_SIZE)), 0, SKIN_SIZE - 1)});
    // The scene draws faces whose vertices turn clockwise seen from outside.
    for (size_t i = 0; i < body.triangles.size(); i += 3)
        model.triangles.push_back({1, {body.triangles[i], body.triangles[i + 2], body.triangles[i + 1]}});
    std::vector<float> pos;
    for (int f = 0; f < CHARACTER_FRAMES; f++) {
        Pose pose = character_pose(kind, f);
        skin_body(body, pose, pos);
        // Stand the body on the floor: its lowest point at the pose's lift.
        float low = pos[2];
        for (int i = 0; i < n; i++) low = std::min(low, pos[i * 3 + 2]);
        for (int i = 0; i < n; i++) pos[i * 3 + 2] += pose.lift - low;
        model.frames.push_back(pos);
        model.frame_names.push_back("frame" + std::to_string(f));
    }
    skin = paint_skin(kind, SKIN_SIZE, SKIN_SIZE);
}

void generate_characters(ContentSink &sink) {
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        CharacterKind kind = CharacterKind(k);
        MdlModel model;
        Picture skin;
        build_character(kind, model, skin);
        std::string base = character_name(kind);
        sink.add(base + ".mdl", mdl_encode(model));
        sink.add(base + ".bmp", bmp_encode_24(skin));
    }
}

KELP_CONTENT(CONTENT_ORDER_CHARACTERS, generate_characters);
