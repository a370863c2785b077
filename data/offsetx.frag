#version 330 compatibility
// Horizontal picture tearing: each row of "colorMap" is shifted by the red of "offsetMap"
// (0.5 = no shift) sampled at the scrolled position ("scroll", "scrolly"), scaled by "amp".

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D offsetMap;
uniform float amp;
uniform float scroll;
uniform float scrolly;

const float MAX_SHIFT = 0.03;

void main()
{
    float offset = texture(offsetMap, vec2(texCoord.x * 0.1 + scroll, texCoord.y + scrolly)).r - 0.5;
    vec2 source = vec2(texCoord.x + offset * 2.0 * MAX_SHIFT * amp, texCoord.y);
    gl_FragColor = vec4(texture(colorMap, clamp(source, vec2(0.0), vec2(1.0))).rgb, 1.0);
}
