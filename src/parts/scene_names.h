// scene_names.h: what the demo parts and the files they load must agree on, written once: each
// scene file with the seconds its keyframes span, the meshes a part looks up by name, the
// lights it expects from its file, and the model vertex the hand effects start at. The
// content generator builds the files from these same names and numbers.
#pragma once

// A scene file and the playing time its keys are spread over (its last frame at 10 frames a
// second is at that time).
struct SceneFile {
    const char *name;
    float play_time;
};

// The messiah's right hand in "messiah.mdl": sparks and the hand's light are born there.
constexpr int MESSIAH_HAND_VERTEX = 510;

// 1, the intro: light 0 over the clearing, four backdrop panels around it.
constexpr SceneFile INTRO_SCENE = {"thc.3ds", 28.0f};
constexpr const char *INTRO_PANELS[4] = {"thc01", "thc02", "thc03", "thc04"};

// 2, the mirror room (its lights are all the part's own).
constexpr SceneFile MIRROR_ROOM_SCENE = {"mirrorscene.3ds", 20.0f};

// 3, the wobbel torus: the torus drawn, and the two shapes it morphs between.
constexpr SceneFile WOBBEL_SCENE = {"wobbel.3ds", 30.0f};
constexpr const char *TORUS_MESH = "Torus", *ROUND_TORUS_MESH = "Torus1", *WAVY_TORUS_MESH = "Torus2";

// 4, the warp pass: light 0 above the beam-in point, the two pills, the cutter disc, the web
// and the seven lit wall panels.
constexpr SceneFile WARP_PASS_SCENE = {"warppass.3ds", 10.0f};
constexpr const char *WARP_PILLS[2] = {"WarpPill1", "WarpPill2"};
constexpr const char *CUTTER_MESH = "Cutter", *WEB_MESH = "web";
constexpr int WARP_WALL_PANELS = 7;
constexpr const char *WARP_WALL_PANEL_NAME = "Wand%02d";  // "Wand01" to "Wand07"

// 5, the oil room: exactly one light, the unlit tunnel (the shaft the flares rise up) and the
// five falling fragments.
constexpr SceneFile OIL_ROOM_SCENE = {"oilroom.3ds", 25.0f};
constexpr int OIL_ROOM_FILE_LIGHTS = 1;
constexpr const char *OIL_TUNNEL_MESH = "tunnel01";
constexpr const char *OIL_FRAGMENTS[5] = {"Fragment01", "Fragment02", "Fragment03", "Fragment04", "Fragment05"};

// 6, the greetings: the blob first, then its shadow, the wall and the beam; the projector
// and a dim light.
constexpr SceneFile GREETINGS_SCENE = {"greez.3ds", 30.0f};
constexpr int GREETINGS_FILE_LIGHTS = 2;
constexpr const char *SHADOW_MESH = "shadow", *WALL_MESH = "wall", *BEAM_MESH = "beam";

// 7, the rock tunnel: two lightning lights, the star sky and the two cloud layers.
constexpr SceneFile ROCK_TUNNEL_SCENE = {"rocktunnel.3ds", 30.0f};
constexpr int ROCK_TUNNEL_FILE_LIGHTS = 2;
constexpr const char *STAR_SKY_MESH = "starsky";
constexpr const char *CLOUD_MESHES[2] = {"clouds1", "clouds2"};

// 8, the water: the drop first, then the backdrop.
constexpr SceneFile WATER_SCENE = {"water.3ds", 30.0f};

// 9, the light ball: light 0 and the five unlit night layers.
constexpr SceneFile LIGHT_BALL_SCENE = {"lightball.3ds", 100.0f};
constexpr const char *NIGHT_MESHES[5] = {"night1", "night2", "night3", "night4", "night5"};

// 11, the sofa room: the window's light and the lamp's spotlight, the television screen, the
// unlit moon, the lamp's three hanging pieces and the three it rests on.
constexpr SceneFile SOFA_ROOM_SCENE = {"sofa.3ds", 20.0f};
constexpr int SOFA_ROOM_FILE_LIGHTS = 2;
constexpr const char *SCREEN_MESH = "screen", *MOON_MESH = "moon";
constexpr const char *LAMP_PIECE_MESHES[3] = {"lamp01", "lamp02", "lamp03"};
constexpr const char *LAMP_REST_MESHES[3] = {"lamp04", "lamp05", "lamp06"};
