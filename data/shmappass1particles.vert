#version 330 compatibility
// Light-view depth pass of a billboard particle: the unit quad spread along "CameraRight" and
// "CameraUp" around "particleCenter" (as the particle draw places it), through the light's
// view-projection "depthMVP".

uniform vec3 CameraRight;
uniform vec3 CameraUp;
uniform vec3 particleCenter;
uniform vec3 BillboardSize;
uniform mat4 depthMVP;

out vec2 uv;

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
    gl_Position = depthMVP * vec4(position, 1.0);
}
