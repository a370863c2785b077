#version 330 compatibility
// Glow blur, horizontal half: nine taps three texels apart with Gaussian weights (summing to 1),
// so ten rounds with the vertical half spread the bright parts without dimming them.

in vec2 texCoord;
uniform sampler2D colorMap;

const float TEXEL = 1.0 / 1920.0;
const float SPACING = 3.0;
const float WEIGHTS[5] = float[5](0.2270270, 0.1945946, 0.1216216, 0.0540541, 0.0162162);

void main()
{
    vec3 sum = texture(colorMap, texCoord).rgb * WEIGHTS[0];
    for (int i = 1; i < 5; ++i) {
        vec2 offset = vec2(float(i) * SPACING * TEXEL, 0.0);
        sum += (texture(colorMap, texCoord + offset).rgb + texture(colorMap, texCoord - offset).rgb) * WEIGHTS[i];
    }
    gl_FragColor = vec4(sum, 1.0);
}
