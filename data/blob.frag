#version 330 compatibility
// The beat look: the picture is gathered towards ("centerx", "centery") (pixels of the
// 1920 x 1080 frame) as in the radial blur, then its brightness is cut at a threshold into
// solid, glossy blobs with a bright rim, lit from the upper left by their own brightness
// slope; what lies below the threshold sinks into a dim, tinted ground.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform int centerx;
uniform int centery;

const int SAMPLES = 12;
const float REACH = 0.5;
const float DECAY = 0.9;
const float THRESHOLD = 0.24;
const float SLOPE_REACH = 3.0;  // pixels either side for the surface slope
const float EDGE = 0.012;  // half width of the blob edge in brightness

void main()
{
    vec2 centre = vec2(float(centerx), float(centery)) / vec2(1920.0, 1080.0);
    vec2 step = (centre - texCoord) * (REACH / float(SAMPLES));
    vec2 uv = texCoord;
    vec3 sum = vec3(0.0);
    float weight = 1.0;
    float total = 0.0;
    for (int i = 0; i < SAMPLES; ++i) {
        sum += texture(colorMap, uv).rgb * weight;
        total += weight;
        weight *= DECAY;
        uv += step;
    }
    vec3 colour = sum / total;
    float level = dot(colour, vec3(0.299, 0.587, 0.114));
    float inside = smoothstep(THRESHOLD - EDGE, THRESHOLD + EDGE, level);
    float rim = 1.0 - smoothstep(0.0, 3.0 * EDGE, abs(level - THRESHOLD - 2.0 * EDGE));

    // The brightness slope over a few pixels as a surface normal: the blobs bulge where they
    // are brightest (neighbouring derivatives would turn the source's byte steps into hatching).
    vec2 reach = SLOPE_REACH / vec2(textureSize(colorMap, 0));
    const vec3 LUMA = vec3(0.299, 0.587, 0.114);
    float slopeX = dot(texture(colorMap, texCoord + vec2(reach.x, 0.0)).rgb - texture(colorMap, texCoord - vec2(reach.x, 0.0)).rgb, LUMA);
    float slopeY = dot(texture(colorMap, texCoord + vec2(0.0, reach.y)).rgb - texture(colorMap, texCoord - vec2(0.0, reach.y)).rgb, LUMA);
    vec3 normal = normalize(vec3(-slopeX * 4.0, -slopeY * 4.0, 1.0));
    float light = clamp(dot(normal, normalize(vec3(-0.5, 0.6, 0.62))), 0.0, 1.0);
    float gloss = pow(light, 24.0);

    vec3 body = colour / max(level, 0.05) * (0.35 + 0.5 * light) + vec3(gloss);
    vec3 ground = colour * 0.22;
    vec3 result = mix(ground, body, inside) + rim * vec3(0.9, 0.95, 1.0) * 0.6;
    gl_FragColor = vec4(result, 1.0);
}
