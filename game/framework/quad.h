// quad.h - the unit square centred on the origin that every picture is drawn on, stretched by
// an object's scale.
#pragma once

struct Mesh;

// The shared square; each screen makes it in Load and frees it in Unload.
extern Mesh* gQuadMesh;

// Builds the square (texture v = 1 at the top edge, u = 0 at the left); the caller owns it.
Mesh* CreateQuadMesh();
