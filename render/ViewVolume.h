#ifndef CUBEFRAY_VIEWVOLUME_H
#define CUBEFRAY_VIEWVOLUME_H

#include "Matrix.h"
#include "Vector.h"

// Whether the axis-aligned box [min, max] lies wholly outside what the camera sees: every corner
// beyond the same plane of the clip volume. Conservative: a box it keeps may still be unseen,
// but one it rejects cannot show, so skipping it leaves the picture as it was.
bool outsideView(vec3 min, vec3 max, const mat4& viewProjection);

// The same for the box of half-size radius around centre.
bool outsideView(vec3 centre, float radius, const mat4& viewProjection);

#endif
