// lighting.cpp: software vertex lighting of lit meshes in world space, on the working copies.
#include "render/render.h"
#include "render/render_math.h"

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
