#ifndef CUBEFRAY_MATHOPS_H
#define CUBEFRAY_MATHOPS_H

#include "Matrix.h"
#include "Quaternion.h"
#include "Vector.h"

const double pi = 3.141592653589793;

mat4 perspective(float left, float right, float bottom, float top, float zNear, float zFar);
mat4 perspective(float aspect, float fovY, float zNear, float zFar);
mat4 ortho(float left, float right, float bottom, float top, float zNear, float zFar);
mat4 ortho(float aspect, float zNear, float zFar);
// The camera matrix mirrors the picture left to right; all geometry is wound for it.
mat4 lookAt(vec3 eye, vec3 center, vec3 up);
mat4 translate(float x, float y, float z);
mat4 translate(vec3 v);
mat4 scale(float x, float y, float z);
mat4 scale(float s);
mat4 rotateX(float degrees);
mat4 rotateY(float degrees);
mat4 rotateZ(float degrees);

// Where a point lands in a viewport of the given size, in pixels from its lower left corner, after
// toClip takes it to clip space.
vec2 projectToViewport(const mat4& toClip, vec3 point, vec2 size);

float lerp(float a, float b, float t);
vec2 lerp(vec2 a, vec2 b, float t);
vec3 lerp(vec3 a, vec3 b, float t);
vec4 lerp(vec4 a, vec4 b, float t);
quat lerp(quat a, quat b, float t);

vec2 nlerp(vec2 a, vec2 b, float t);
vec3 nlerp(vec3 a, vec3 b, float t);
vec4 nlerp(vec4 a, vec4 b, float t);
quat nlerp(quat a, quat b, float t);

vec2 slerp(vec2 a, vec2 b, float t);
vec3 slerp(vec3 a, vec3 b, float t);
vec4 slerp(vec4 a, vec4 b, float t);
// Along the shorter arc; the result has unit length.
quat slerp(quat a, quat b, float t);

vec2 reflect(vec2 incident, vec2 normal);
vec3 reflect(vec3 incident, vec3 normal);
vec4 reflect(vec4 incident, vec4 normal);

float clamp(float x, float lo, float hi);
int clamp(int x, int lo, int hi);
vec2 clamp(vec2 v, float lo, float hi);
vec3 clamp(vec3 v, float lo, float hi);
vec4 clamp(vec4 v, float lo, float hi);

// Truncation towards zero that never overflows: NaN gives 0, values beyond the int range give
// its nearest end. Every float that can come from a file or the network goes through here.
int truncateToInt(double value);
unsigned int truncateToUnsigned(double value);

#endif
