// working.cpp: the renderer's working arrays (vertices, lights, projection matrix), made once
// at start-up, the check that a scene fits them, the per-frame copy into them and the
// software vertex lighting of lit meshes on the copies.
#include <cstdlib>
#include <cstring>

#include "app/messages.h"
#include "render/render.h"
#include "render/render_math.h"

Vertex *working_vertices = nullptr;
Light *working_lights = nullptr;
float *projection_matrix = nullptr;
int face_counter = 0;

// The working arrays and the projection matrix, made once at start-up.
void allocate_working_arrays() {
    free_working_arrays();
    working_vertices = static_cast<Vertex *>(calloc(MAX_WORKING_VERTICES, sizeof(Vertex)));
    working_lights = static_cast<Light *>(calloc(MAX_WORKING_LIGHTS, sizeof(Light)));
    projection_matrix = static_cast<float *>(calloc(16, sizeof(float)));
    if (!working_vertices || !working_lights || !projection_matrix)
        fatal_error("RENDER: out of memory for the working arrays");
}

// Give the working arrays back at the end of the run.
void free_working_arrays() {
    free(working_vertices);
    free(working_lights);
    free(projection_matrix);
    working_vertices = nullptr;
    working_lights = nullptr;
    projection_matrix = nullptr;
}

// Counts within the working arrays and every mesh's ranges inside them.
void check_scene_fits(const Scene &scene) {
    if (!scene.camera) fatal_error("RENDER: scene has no camera");
    if (scene.vertex_count < 0 || scene.vertex_count > MAX_WORKING_VERTICES)
        fatal_errorf("RENDER: scene has %d vertices, more than the working array holds (%d)",
                     scene.vertex_count, int(MAX_WORKING_VERTICES));
    if (scene.light_count < 0 || scene.light_count > MAX_WORKING_LIGHTS)
        fatal_errorf("RENDER: scene has %d lights, more than the working array holds (%d)",
                     scene.light_count, int(MAX_WORKING_LIGHTS));
    if (scene.vertex_count > 0 && !scene.vertices) fatal_error("RENDER: scene has no vertex array");
    if (scene.light_count > 0 && !scene.lights) fatal_error("RENDER: scene has no light array");
    if (scene.mesh_count > 0 && !scene.meshes) fatal_error("RENDER: scene has no mesh array");
    for (int i = 0; i < scene.mesh_count; i++) {
        const Mesh &mesh = scene.meshes[i];
        if (mesh.first_vertex < 0 || mesh.vertex_count < 0 ||
            mesh.first_vertex > MAX_WORKING_VERTICES - mesh.vertex_count)
            fatal_errorf("RENDER: mesh [%.64s] vertices %d..%d lie outside the working array (%d)",
                         mesh.name, mesh.first_vertex, mesh.first_vertex + mesh.vertex_count,
                         int(MAX_WORKING_VERTICES));
        if (mesh.face_count > 0 && !mesh.faces)
            fatal_errorf("RENDER: mesh [%.64s] has %d faces but no face array", mesh.name,
                         mesh.face_count);
    }
    const int32_t *active = scene.active_lights;
    if (active) {
        if (active[0] < 0 || active[0] > scene.light_count)
            fatal_errorf("RENDER: active light list has %d entries for %d lights", active[0],
                         scene.light_count);
        for (int i = 1; i <= active[0]; i++)
            if (active[i] < 0 || active[i] >= scene.light_count)
                fatal_errorf("RENDER: active light %d does not exist (%d lights)", active[i],
                             scene.light_count);
    }
}

// Copy the scene's vertices and lights into the working arrays.
void copy_working_arrays(const Scene &scene) {
    if (scene.vertex_count > 0)
        memcpy(working_vertices, scene.vertices, size_t(scene.vertex_count) * sizeof(Vertex));
    if (scene.light_count > 0)
        memcpy(working_lights, scene.lights, size_t(scene.light_count) * sizeof(Light));
}

// Every vertex of every lit mesh gets the sum of the active lights as its light offset.
void light_working_vertices(const Scene &scene) {
    const int32_t *active = scene.active_lights;
    int count = active ? active[0] : 0;
    const int32_t *indices = active ? active + 1 : nullptr;
    for (int m = 0; m < scene.mesh_count; m++) {
        const Mesh &mesh = scene.meshes[m];
        if (!mesh.lit) continue;
        Vertex *v = working_vertices + mesh.first_vertex;
        for (int i = 0; i < mesh.vertex_count; i++)
            light_vertex(v[i].position, v[i].normal, mesh.ambient, working_lights, indices, count,
                         v[i].light);
    }
}
