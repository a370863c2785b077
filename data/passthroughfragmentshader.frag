#version 330 compatibility
// Copies "colorMap" onto the target, opaque.

in vec2 texCoord;
uniform sampler2D colorMap;

void main()
{
    gl_FragColor = vec4(texture(colorMap, texCoord).rgb, 1.0);
}
