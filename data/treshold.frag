#version 330 compatibility
// Bloom source: what is brighter than THRESHOLD in "colorMap", stretched back to 0..1, through
// the glow mask "maskMap" scrolled by ("maskx", "masky"). Darker parts become black.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D maskMap;
uniform float maskx;
uniform float masky;

const float THRESHOLD = 0.6;

void main()
{
    vec3 colour = texture(colorMap, texCoord).rgb;
    vec3 bright = max(colour - vec3(THRESHOLD), vec3(0.0)) / (1.0 - THRESHOLD);
    vec3 mask = texture(maskMap, texCoord + vec2(maskx, masky)).rgb;
    gl_FragColor = vec4(bright * mask, 1.0);
}
