#version 330 compatibility
// The cheap radial blur: fewer, wider steps towards ("centerx", "centery") (pixels of the
// 1920 x 1080 frame), jittered per pixel; the cloud seems to rush out of the screen centre.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform int centerx;
uniform int centery;

const int SAMPLES = 16;
const float REACH = 0.4;
const float DECAY = 0.93;
const float SHARP = 0.35;
const float RAYS = 1.1;

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
