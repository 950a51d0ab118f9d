// frame.cpp: render_scene and its frame setup: the working camera, camera path and shake,
// projection, the degenerate-camera guard, fog, the three backgrounds, posed meshes and
// models in the working copies, and the transform into eye space.
#include <GL/gl.h>

#include "app/settings.h"
#include "render/clock.h"
#include "render/overlay.h"
#include "render/render.h"
#include "render/render_math.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "scene/random.h"
#include "scene/spline.h"

// Models walking their paths, posed as a drawn frame poses them (their animation state moves).
static void pose_path_models(Scene &scene, float time) {
    for (int i = 0; i < scene.mesh_count; i++)
        if (scene.meshes[i].model_path_count != -1)
            pose_model_on_path(scene.meshes[i], working_vertices, time, scene.frame_rate);
}

// Keyframed meshes, then models walking their paths, posed into the working vertices.
void pose_working_arrays(Scene &scene, float time) {
    for (int i = 0; i < scene.mesh_count; i++)
        if (scene.meshes[i].key_count != -1)
            animate_mesh(scene, scene.meshes[i], working_vertices, time, scene.frame_rate);
    pose_path_models(scene, time);
}

// Every working vertex (position and normal) and light into eye space.
void transform_working_arrays(const Scene &scene, const Camera &camera, bool camera_mode) {
    EyeTransform t;
    bool squeeze = render_width != render_height;
    if (camera_mode)
        eye_transform_camera(camera, squeeze, t);
    else
        eye_transform_flat(camera.zmax, squeeze, t);
    for (int i = 0; i < scene.vertex_count; i++) {
        eye_apply_position(t, working_vertices[i].position);
        eye_apply_normal(t, working_vertices[i].normal);
    }
    for (int i = 0; i < scene.light_count; i++) {
        eye_apply_position(t, working_lights[i].position);
        working_lights[i].glow_size /= camera.zmax;
    }
}

// Fog on with the scene's density and colour when its flag asks for it.
static void set_fog(const Scene &scene) {
    if (scene.flags & DRAW_FOG) {
        glEnable(GL_FOG);
        glFogf(GL_FOG_MODE, GL_EXP2);
        glFogf(GL_FOG_DENSITY, scene.fog_density);
        glFogfv(GL_FOG_COLOR, scene.fog_color);
    } else {
        glDisable(GL_FOG);
    }
}

// Screen aspect for the backdrop; the render aspect when the screen size is unusable.
static float screen_aspect(float width, float height) {
    float sw = float(get_screen_width()), sh = float(get_screen_height());
    if (sw > 0.0f && sh > 0.0f) return sw / sh;
    return width / height;
}

bool background_keeps_pixels(const Scene &scene) {
    if (scene.background_texture != -1) return scene.camera->glow_alpha < 1.0f;
    return scene.scene_fade != 0.0f && scene.scene_fade != 1.0f;
}

// Backdrop quad, cleared colour, or the previous picture kept.
static void draw_background(const Scene &scene, const Camera &camera, float width, float height) {
    if (scene.background_texture != -1) {
        glClear(GL_DEPTH_BUFFER_BIT);
        float h = 2.0f * projection_cotangent(camera.fov);
        float w = h / screen_aspect(width, height);
        glBindTexture(GL_TEXTURE_2D, GLuint(scene.background_texture));
        glBegin(GL_POLYGON);
        glColor4f(1.0f, 1.0f, 1.0f, camera.glow_alpha);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-1.0f / w, -1.0f / h, -0.5f);
        glColor4f(1.0f, 1.0f, 1.0f, camera.glow_alpha);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(1.0f / w, -1.0f / h, -0.5f);
        glColor4f(1.0f, 1.0f, 1.0f, camera.glow_alpha);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(1.0f / w, 1.0f / h, -0.5f);
        glColor4f(1.0f, 1.0f, 1.0f, camera.glow_alpha);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-1.0f / w, 1.0f / h, -0.5f);
        glEnd();
    } else if (scene.scene_fade == 0.0f) {
        if (scene.flags & DRAW_FOG)
            glClearColor(scene.fog_color[0], scene.fog_color[1], scene.fog_color[2], 1.0f);
        else
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        draw_fade(scene.scene_fade - 1.0f);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
}

// Jitter the working camera's position by up to the shake amplitude, x then y then z.
static void shake_camera(Camera &camera, float shake) {
    for (int i = 0; i < 3; i++)
        camera.position[i] += float(((random_next() % 100) / 50.0 - 1.0) * shake);
}

static bool drawing_on = true;

void set_render_drawing(bool on) { drawing_on = on; }

bool render_drawing() { return drawing_on; }

// The camera a frame is seen through: the scene's, moved along its track, or a shaken copy.
static Camera *frame_camera(Scene &scene, float time, Camera &shaken) {
    Camera *camera = scene.camera;
    if (scene.camera_shake != 0.0f) {
        shaken = *scene.camera;
        camera = &shaken;
    }
    if (scene.camera_key_count != 0 && camera->keep_mask != 15)
        animate_camera(*camera, scene, time);
    if (scene.camera_shake != 0.0f) shake_camera(*camera, scene.camera_shake);
    return camera;
}

// A full-size render measures the frame time; the statistics go over it.
static void end_full_size_render(const Scene &scene, const Camera &camera) {
    if (render_width == get_screen_width() && render_height == get_screen_height()) {
        frame_time = clock_seconds() - last_clock;
        last_clock = clock_seconds();
        if (statistics && drawing_on) draw_statistics(scene, camera);
    }
    set_render_size(get_screen_width(), get_screen_height());
}

// Draw one scene for one frame (with drawing off, only what the frame changes of the show).
void render_scene(Scene &scene, float time, byte camera_mode) {
    check_scene_fits(scene);
    Camera shaken;
    Camera *camera = frame_camera(scene, time, shaken);

    // A window with no area draws nothing (the aspect terms would divide by zero).
    if (render_width <= 0 || render_height <= 0) {
        set_render_size(get_screen_width(), get_screen_height());
        return;
    }
    if (!drawing_on) {
        // The viewport stays set for the passes that follow (the wipe's marks).
        glViewport(0, 0, render_width, render_height);
        if (camera_degenerate(*camera)) return;
        pose_path_models(scene, time);
        end_full_size_render(scene, *camera);
        return;
    }
    float width = float(render_width), height = float(render_height);
    build_projection(camera->fov, width, height, projection_matrix);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadMatrixf(projection_matrix);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, render_width, render_height);

    if (camera_degenerate(*camera)) {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        return;
    }
    set_fog(scene);
    face_counter = 0;
    draw_background(scene, *camera, width, height);

    copy_working_arrays(scene);
    pose_working_arrays(scene, time);
    light_working_vertices(scene);
    transform_working_arrays(scene, *camera, camera_mode != 0);
    draw_face_passes(scene, camera->glow_alpha);
    glDisable(GL_FOG);
    draw_light_glows(scene.light_count, *camera);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    end_full_size_render(scene, *camera);
}
