// part_common.cpp: the steps every demo part's load shares.
#include "parts/part_common.h"

#include <cstdio>

#include "app/messages.h"

Mesh &append_mesh(const char *part, Mesh *meshes, Face *faces, int mesh_capacity, PartCounts &counts,
                  const char *name) {
    if (counts.meshes >= mesh_capacity)
        fatal_errorf("%s: [%s] no room for another mesh (capacity %d)", part, name, mesh_capacity);
    Mesh &mesh = meshes[counts.meshes];
    snprintf(mesh.name, sizeof mesh.name, "%s", name);
    mesh.faces = &faces[counts.faces];
    mesh.first_vertex = counts.vertices;
    mesh.vertex_count = 0;
    mesh.face_count = 0;
    counts.meshes++;
    return mesh;
}

void set_quad_faces(Face *quad, int first) {
    quad[0].a = first, quad[0].b = first + 2, quad[0].c = first + 1;
    quad[1].a = first, quad[1].b = first + 3, quad[1].c = first + 2;
}

void log_part_counts(const char *part, int meshes, int vertices, int faces, int lights, int anims, int cams) {
    log_linef("%s: meshes %d", part, meshes);
    log_linef("%s: verts  %d", part, vertices);
    log_linef("%s: faces  %d", part, faces);
    log_linef("%s: lights %d", part, lights);
    log_linef("%s: anims  %d", part, anims);
    log_linef("%s: cams   %d", part, cams);
}
