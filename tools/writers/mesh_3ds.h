// mesh_3ds.h: built meshes handed to the .3ds writer.
#pragma once
#include <string>
#include <vector>

#include "writers/mesh_builder.h"
#include "writers/writer_3ds.h"

// A .3ds triangle object from a built mesh, every face given `material` (none when empty).
// Fatal when the mesh has more vertices or faces than a .3ds object holds (65535).
Mesh3ds mesh_to_3ds(const MeshData &mesh, const std::string &name, const std::string &material);
