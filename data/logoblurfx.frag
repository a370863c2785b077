#version 330 compatibility
// Single-pass glow blur: a 5 x 5 box three texels apart, for one quick softening of "colorMap".

in vec2 texCoord;
uniform sampler2D colorMap;

const vec2 TEXEL = vec2(1.0 / 1920.0, 1.0 / 1080.0);
const float SPACING = 3.0;

void main()
{
    vec3 sum = vec3(0.0);
    for (int y = -2; y <= 2; ++y)
        for (int x = -2; x <= 2; ++x)
            sum += texture(colorMap, texCoord + vec2(float(x), float(y)) * SPACING * TEXEL).rgb;
    gl_FragColor = vec4(sum / 25.0, 1.0);
}
