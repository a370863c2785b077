#version 450 compatibility
// The flyover landscape at dawn, fragment side.
// - Colour: "colorMap" is the ground colour stretched over the whole landscape; "normalMap"
//   is a small relief tile repeated every 8 grid cells (its alpha darkens the crevices).
// - Light: the low sun is the shadow-casting light in direction "Light", tinted by the ramp
//   "lightMap" (shadowed side violet, lit side warm); the sky adds a cool ambient from above;
//   the table lights of the uniform arrays add what they reach.
// - Shadow: the shadow map (unit 3) holds the light depth packed into 24 bits of RGB; a surface
//   farther from the light than the stored depth plus "bias" is in shadow (3 x 3 texels).
// - Fog: thickens with the distance along the view ("fogzfactor" the distance of 63 %), in
//   the colour the dawn sky has at the horizon in that direction, so the landscape's edge
//   melts into the sky box (the sun direction and horizon colours are the sky pictures').

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in vec2 uv;
in vec4 shadowCoord;
in vec3 eyePosition;
in float viewDepth;

uniform sampler2D colorMap;
uniform sampler2D normalMap;
uniform sampler2D lightMap;
uniform sampler2D shadowMap;
uniform vec4 glColor = vec4(1.0);
uniform float bias = 0.0025;
uniform vec4 Light = vec4(1.0, 2.0, 1.5, 1.0);
uniform float fogzfactor;

const int LIGHT_COUNT = 14;
uniform float lightsEnabled[LIGHT_COUNT];
uniform float lightsinvRadius[LIGHT_COUNT];
uniform float lightMapSelect[LIGHT_COUNT];
uniform float lightsPosx[LIGHT_COUNT];
uniform float lightsPosy[LIGHT_COUNT];
uniform float lightsPosz[LIGHT_COUNT];
uniform float lightsAmbientr[LIGHT_COUNT];
uniform float lightsAmbientg[LIGHT_COUNT];
uniform float lightsAmbientb[LIGHT_COUNT];
uniform float lightsDiffuser[LIGHT_COUNT];
uniform float lightsDiffuseg[LIGHT_COUNT];
uniform float lightsDiffuseb[LIGHT_COUNT];
uniform float lightsSpecularr[LIGHT_COUNT];
uniform float lightsSpecularg[LIGHT_COUNT];
uniform float lightsSpecularb[LIGHT_COUNT];

// The stored normals lean as if the grid points were one unit apart instead of 20: their
// horizontal part is scaled down so the hills keep some of that drama without crumpling.
const float NORMAL_RELIEF = 0.5;
const vec2 DETAIL_TILING = vec2(32.0, 512.0);  // the relief tile spans 8 x 8 cells
const float DETAIL_STRENGTH = 0.35;
const float SUN_LIGHT = 1.25;
const float SHADOWED_SUN = 0.45;  // share of the sun left in shadow
const vec3 SKY_ABOVE = vec3(0.30, 0.34, 0.52);
const vec3 SKY_BELOW = vec3(0.16, 0.12, 0.16);
const vec3 SUN_DIRECTION = vec3(0.9660, 0.0872, -0.2432);
const vec3 HORIZON_AWAY = vec3(0.55, 0.47, 0.58);
const vec3 HORIZON_SUN = vec3(1.00, 0.70, 0.45);
const float HORIZON_SUN_POWER = 3.0;

float unpackDepth(vec3 texel)
{
    vec3 bytes = floor(texel * 255.0 + 0.5);
    return (bytes.r * 65536.0 + bytes.g * 256.0 + bytes.b) / 16777215.0;
}

float shadowFactor()
{
    if (shadowCoord.w <= 0.0)
        return 1.0;
    vec3 p = shadowCoord.xyz / shadowCoord.w;
    if (any(lessThan(p, vec3(0.0))) || any(greaterThan(p, vec3(1.0))))
        return 1.0;
    ivec2 size = textureSize(shadowMap, 0);
    ivec2 centre = ivec2(p.xy * vec2(size));
    float lit = 0.0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            ivec2 texel = clamp(centre + ivec2(dx, dy), ivec2(0), size - 1);
            lit += p.z - bias <= unpackDepth(texelFetch(shadowMap, texel, 0).rgb) ? 1.0 : 0.0;
        }
    return lit / 9.0;
}

// Trilinear sampling by hand: the textures are filtered with the nearest mipmap level, and the
// relief tile, shrunk strongly towards the horizon, would show a band at every level change.
vec4 smoothSample(sampler2D map, vec2 p)
{
    float lod = max(textureQueryLod(map, p).y, 0.0);
    float low = floor(lod);
    return mix(textureLod(map, p, low), textureLod(map, p, low + 1.0), lod - low);
}

vec3 lightDirection()
{
    return dot(Light.xyz, Light.xyz) > 1e-12 ? normalize(Light.xyz) : vec3(0.0, 1.0, 0.0);
}

vec3 horizonColour(vec3 direction)
{
    vec2 across = direction.xz;
    float facing = 0.0;
    if (dot(across, across) > 1e-12)
        facing = dot(normalize(across), normalize(SUN_DIRECTION.xz));
    return mix(HORIZON_AWAY, HORIZON_SUN, pow(0.5 + 0.5 * facing, HORIZON_SUN_POWER));
}

vec3 surfaceNormal(vec4 detail)
{
    vec3 relieved = vec3(worldNormal.x * NORMAL_RELIEF, worldNormal.y, worldNormal.z * NORMAL_RELIEF);
    vec3 n = dot(relieved, relieved) > 1e-12 ? normalize(relieved) : vec3(0.0, 1.0, 0.0);
    vec3 t = worldTangent - n * dot(n, worldTangent);
    if (dot(t, t) < 1e-12)
        return n;
    t = normalize(t);
    // The landscape's texture is never mirrored. Its stored handedness is worked out from
    // normals and positions kept in different frames, so it flips wherever the ground turns
    // from rising to falling along the rows: the unmirrored bitangent is taken instead.
    vec3 b = cross(n, t);
    vec3 mapped = mix(vec3(0.0, 0.0, 1.0), detail.xyz * 2.0 - 1.0, DETAIL_STRENGTH);
    vec3 result = t * mapped.x + b * mapped.y + n * mapped.z;
    return dot(result, result) > 1e-12 ? normalize(result) : n;
}

void main()
{
    vec4 detail = smoothSample(normalMap, uv * DETAIL_TILING);
    vec3 base = smoothSample(colorMap, uv).rgb * glColor.rgb * detail.a;
    vec3 n = surfaceNormal(detail);
    float shadow = shadowFactor();

    float sunFacing = max(dot(n, lightDirection()), 0.0);
    vec3 sun = texture(lightMap, vec2(sunFacing * shadow, 0.5)).rgb * sunFacing * mix(SHADOWED_SUN, 1.0, shadow);
    vec3 sky = mix(SKY_BELOW, SKY_ABOVE, 0.5 + 0.5 * n.y);

    vec3 table = vec3(0.0);
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        if (lightsEnabled[i] < 0.5)
            continue;
        vec3 toLight = vec3(lightsPosx[i], lightsPosy[i], lightsPosz[i]) - worldPosition;
        float distance = length(toLight);
        vec3 l = distance > 1e-6 ? toLight / distance : n;
        float reach = distance * lightsinvRadius[i];
        float attenuation = clamp(1.0 - reach * reach, 0.0, 1.0);
        if (attenuation <= 0.0)
            continue;
        float facing = max(dot(n, l), 0.0);
        vec3 ramp = texture(lightMap, vec2(facing, lightMapSelect[i])).rgb;
        table += attenuation * (vec3(lightsAmbientr[i], lightsAmbientg[i], lightsAmbientb[i]) +
                                facing * ramp * vec3(lightsDiffuser[i], lightsDiffuseg[i], lightsDiffuseb[i]));
    }

    vec3 colour = base * (sky + SUN_LIGHT * sun + table);
    if (fogzfactor > 0.0) {
        vec3 view = worldPosition - eyePosition;
        vec3 direction = dot(view, view) > 1e-12 ? normalize(view) : vec3(0.0, 0.0, -1.0);
        colour = mix(colour, horizonColour(direction), 1.0 - exp(-max(viewDepth, 0.0) / fogzfactor));
    }
    gl_FragColor = vec4(colour, 1.0);
}
