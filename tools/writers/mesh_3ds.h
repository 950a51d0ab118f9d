// mesh_3ds.h: built meshes and keyframe tracks handed to the .3ds writer.
#pragma once
#include <string>
#include <vector>

#include "writers/mesh_builder.h"
#include "writers/track_builder.h"
#include "writers/writer_3ds.h"

// A .3ds triangle object from a built mesh, every face given `material` (none when empty).
// Fatal when the mesh has more vertices or faces than a .3ds object holds (65535).
Mesh3ds mesh_to_3ds(const MeshData &mesh, const std::string &name, const std::string &material);
// Position (or scale) keys from a track's first three values.
std::vector<Key3ds> track_to_3ds_positions(const KeyTrack &track);
// Rotation keys: value[0] the angle in radians, value[1..3] the axis.
std::vector<Key3ds> track_to_3ds_rotations(const KeyTrack &track);
// One-value keys (FOV or roll in degrees) from a track's first value.
std::vector<Key3ds> track_to_3ds_values(const KeyTrack &track);
