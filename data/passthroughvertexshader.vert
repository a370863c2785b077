#version 330 compatibility
// Screen passes: immediate-mode quads in the fixed 0..1920 x 0..1080 frame (y up), with the
// texture coordinate of each corner.

out vec2 texCoord;

void main()
{
    texCoord = gl_MultiTexCoord0.xy;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
