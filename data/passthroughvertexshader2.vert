#version 330 compatibility
// Streamed particle meshes: positions, texture coordinates, a colour and an alpha per vertex,
// at pinned locations; the camera sits in the projection.

layout(location = 0) in vec3 vertexPosition;
layout(location = 1) in vec2 textureCoord;
layout(location = 2) in vec3 vertexColor;
layout(location = 3) in float vertexAlpha;

out vec2 texCoord;
out vec4 tint;

void main()
{
    texCoord = textureCoord;
    // Clamped as the fixed-function stage clamps glColor: a faded ribbon has alpha 0.
    tint = clamp(vec4(vertexColor, vertexAlpha), 0.0, 1.0);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(vertexPosition, 1.0);
}
