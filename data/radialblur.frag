#version 330 compatibility
// Radial blur towards the screen point ("centerx", "centery", in pixels of the 1920 x 1080
// frame): every pixel gathers the picture along the line to the centre with falling weights,
// so light near the centre streams outward in rays and dark shapes cast shafts of shadow.
// The sample positions are jittered per pixel, which turns the steps between samples into
// fine grain.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform int centerx;
uniform int centery;

const int SAMPLES = 40;
const float REACH = 0.6;   // the last sample lies this fraction of the way to the centre
const float DECAY = 0.96;  // weight of each sample relative to the one before
const float SHARP = 0.45;  // share of the unblurred picture
const float RAYS = 1.35;

float jitter(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

void main()
{
    vec2 centre = vec2(float(centerx), float(centery)) / vec2(1920.0, 1080.0);
    vec2 step = (centre - texCoord) * (REACH / float(SAMPLES));
    vec2 uv = texCoord + step * jitter(gl_FragCoord.xy);
    vec3 sum = vec3(0.0);
    float weight = 1.0;
    float total = 0.0;
    for (int i = 0; i < SAMPLES; ++i) {
        sum += texture(colorMap, uv).rgb * weight;
        total += weight;
        weight *= DECAY;
        uv += step;
    }
    vec3 sharp = texture(colorMap, texCoord).rgb;
    gl_FragColor = vec4(sharp * SHARP + sum / total * RAYS, 1.0);
}
