#version 330 compatibility
// Billboard particles: the unit quad (corners at +-0.5, z 0) is spread along the camera's
// right and up axes around "particleCenter". "CameraRight" and "CameraUp" are rows of the
// projection, so they carry the projection's scale: only their directions are used.

uniform vec3 CameraRight;
uniform vec3 CameraUp;
uniform vec3 particleCenter;
uniform vec3 BillboardSize;
uniform vec4 color;

out vec2 uv;
out vec4 tint;

vec3 direction(vec3 v, vec3 fallback)
{
    float len = length(v);
    return len > 1e-6 ? v / len : fallback;
}

void main()
{
    vec3 right = direction(CameraRight, vec3(1.0, 0.0, 0.0));
    vec3 up = direction(CameraUp, vec3(0.0, 1.0, 0.0));
    vec3 position = particleCenter + right * (gl_Vertex.x * BillboardSize.x) + up * (gl_Vertex.y * BillboardSize.y);
    uv = gl_MultiTexCoord0.xy;
    tint = color;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(position, 1.0);
}
