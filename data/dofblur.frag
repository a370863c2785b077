#version 330 compatibility
// Depth of field: the red of "depthMap" (0 = nothing drawn, higher = drawn nearer, as written
// by the depth pass "dofblur1") picks the blur strength from "blurintensity" (u = depth value,
// red 0 = sharp, 1 = MAX_RADIUS pixels), and "colorMap" is averaged over a disc of that radius.

in vec2 texCoord;
uniform sampler2D depthMap;
uniform sampler2D colorMap;
uniform sampler2D blurintensity;

const int TAPS = 12;
const float MAX_RADIUS = 8.0;
const vec2 DISC[TAPS] = vec2[TAPS](
    vec2(1.0, 0.0), vec2(0.5, 0.866), vec2(-0.5, 0.866), vec2(-1.0, 0.0), vec2(-0.5, -0.866), vec2(0.5, -0.866),
    vec2(0.5, 0.0), vec2(0.25, 0.433), vec2(-0.25, 0.433), vec2(-0.5, 0.0), vec2(-0.25, -0.433), vec2(0.25, -0.433));

void main()
{
    float depth = texture(depthMap, texCoord).r;
    float radius = MAX_RADIUS * clamp(texture(blurintensity, vec2(depth, 0.5)).r, 0.0, 1.0);
    vec2 pixel = 1.0 / vec2(textureSize(colorMap, 0));
    vec3 sum = texture(colorMap, texCoord).rgb;
    for (int k = 0; k < TAPS; ++k)
        sum += texture(colorMap, clamp(texCoord + DISC[k] * radius * pixel, vec2(0.0), vec2(1.0))).rgb;
    gl_FragColor = vec4(sum / float(TAPS + 1), 1.0);
}
