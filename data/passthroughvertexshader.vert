#version 330 compatibility
// Screen passes: immediate-mode quads in the fixed 0..1920 x 0..1080 frame (y up), with the
// texture coordinate of each corner, and the current colour for programs that tint by it.

out vec2 texCoord;

void main()
{
    texCoord = gl_MultiTexCoord0.xy;
    gl_FrontColor = gl_Color;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
