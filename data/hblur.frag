#version 330 compatibility
// Horizontal blur of "colorMap": 15 neighbouring texels with Gaussian weights (sigma 3
// texels; they sum to 1, so a pass keeps the total brightness of a row). Rows never mix; the
// edge texels repeat past the border instead of wrapping round.

in vec2 texCoord;
uniform sampler2D colorMap;

const int TAPS = 15;
const float WEIGHTS[TAPS] = float[TAPS](0.008847, 0.018216, 0.033562, 0.055335, 0.081638, 0.107778, 0.127325,
                                        0.134598, 0.127325, 0.107778, 0.081638, 0.055335, 0.033562, 0.018216,
                                        0.008847);

void main()
{
    ivec2 size = textureSize(colorMap, 0);
    ivec2 texel = clamp(ivec2(texCoord * vec2(size)), ivec2(0), size - 1);
    vec3 sum = vec3(0.0);
    for (int k = 0; k < TAPS; ++k) {
        int x = clamp(texel.x + k - TAPS / 2, 0, size.x - 1);
        sum += WEIGHTS[k] * texelFetch(colorMap, ivec2(x, texel.y), 0).rgb;
    }
    gl_FragColor = vec4(sum, 1.0);
}
