#version 330 compatibility
// Screen passes: immediate-mode quads in the fixed 0..1920 x 0..1080 frame (y up), with the
// texture coordinate of each corner, and the current colour for programs that tint by it.

out vec2 texCoord;
out vec4 tint;  // alpha -1: the pass-through fragment shader copies opaque

void main()
{
    texCoord = gl_MultiTexCoord0.xy;
    tint = vec4(1.0, 1.0, 1.0, -1.0);
    gl_FrontColor = gl_Color;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
