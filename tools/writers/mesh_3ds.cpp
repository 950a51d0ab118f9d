// mesh_3ds.cpp: conversion of built meshes into the .3ds writer's records.
#include "writers/mesh_3ds.h"

#include "platform/fatal.h"

Mesh3ds mesh_to_3ds(const MeshData &mesh, const std::string &name, const std::string &material) {
    if (mesh.vertices.size() > 65535 || mesh.triangles.size() > 65535)
        fatal_errorf("3DS: mesh [%s] has %zu vertices and %zu faces, a .3ds object holds 65535", name.c_str(),
                     mesh.vertices.size(), mesh.triangles.size());
    Mesh3ds out;
    out.name = name;
    for (const MeshVertex &v : mesh.vertices) out.add_vertex(v.x, v.y, v.z, v.u, v.v);
    for (const MeshTriangle &t : mesh.triangles) {
        int n = int(mesh.vertices.size());
        if (t.a < 0 || t.b < 0 || t.c < 0 || t.a >= n || t.b >= n || t.c >= n)
            fatal_errorf("3DS: mesh [%s] has a face with a vertex index outside 0..%d", name.c_str(), n - 1);
        out.add_face(t.a, t.b, t.c);
    }
    if (!material.empty() && !mesh.triangles.empty()) out.set_material(material, 0, int(mesh.triangles.size()));
    return out;
}
