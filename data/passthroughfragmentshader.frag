#version 330 compatibility
// Copies "colorMap" onto the target, opaque; a vertex shader that hands over a tint with
// alpha 0 or more (the streamed particles) gets the picture modulated by it instead, as the
// fixed-function texture stage would do.

in vec2 texCoord;
in vec4 tint;
uniform sampler2D colorMap;

void main()
{
    vec4 picture = texture(colorMap, texCoord);
    gl_FragColor = tint.a < 0.0 ? vec4(picture.rgb, 1.0) : picture * tint;
}
