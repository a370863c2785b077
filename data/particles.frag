#version 330 compatibility
// The sprite tinted by the particle's colour; the caller's blending decides how it adds up.

uniform sampler2D colorMap;

in vec2 uv;
in vec4 tint;

void main()
{
    gl_FragColor = texture(colorMap, uv) * tint;
}
