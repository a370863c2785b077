#version 330 compatibility
// The hero's lit, shadowed pass, fragment side: the model pass's lighting with a cool rim light
// that lifts the hero off the tiles, and the appear clip: nothing above the height "ycoofade"
// (view units: the hero's feet plus the appear offset) is drawn, and a bright seam glows just
// under the clip line while it rises.
// Lights: the shadow-casting light in direction "Light" (it looks at the origin) and the 14
// table lights of the uniform arrays (reach from "lightsinvRadius", light ramp "lightMap" with
// the row from "lightMapSelect"); the normal map in tangent space; "glColor" tints.
// Shadow: the shadow map (unit 3) holds the light depth packed into 24 bits of RGB; a surface
// farther from the light than the stored depth plus "bias" is in shadow (3 x 3 texels averaged).

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in float tangentHandedness;
in vec2 uv;
in vec4 shadowCoord;
in vec3 eyePosition;

uniform sampler2D colorMap;
uniform sampler2D normalMap;
uniform sampler2D lightMap;
uniform sampler2D shadowMap;
// Draws that leave these out still get a visible, lit model.
uniform vec4 glColor = vec4(1.0);
uniform float bias = 0.0025;
uniform vec4 Light = vec4(1.0, 2.0, 2.0, 1.0);
uniform float fogzfactor;
uniform float ycoofade = 1e9;

const float SEAM_HEIGHT = 0.05;            // view units of the glowing seam under the clip
const vec3 SEAM_COLOUR = vec3(0.5, 1.0, 1.0);
const vec3 RIM_COLOUR = vec3(0.35, 0.55, 0.7);

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

const float KEY_LIGHT = 0.45;        // strength of the shadow-casting light
const float SHADOWED_SHARE = 0.45;   // share of the table lights' diffuse left in shadow

float unpackDepth(vec3 texel)
{
    vec3 bytes = floor(texel * 255.0 + 0.5);
    return (bytes.r * 65536.0 + bytes.g * 256.0 + bytes.b) / 16777215.0;
}

// 1 lit, 0 shadowed; outside the light's box counts as lit.
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

// Direction towards the shadow-casting light, which looks at the origin.
vec3 lightDirection()
{
    return dot(Light.xyz, Light.xyz) > 1e-12 ? normalize(Light.xyz) : vec3(0.0, 1.0, 0.0);
}

// The half vector of two unit directions; none (no highlight) when they point apart.
vec3 halfway(vec3 a, vec3 b)
{
    vec3 h = a + b;
    return dot(h, h) > 1e-12 ? normalize(h) : vec3(0.0);
}

vec3 surfaceNormal()
{
    // A vertex without a normal faces the light.
    vec3 n = dot(worldNormal, worldNormal) > 1e-12 ? normalize(worldNormal) : lightDirection();
    vec3 t = worldTangent - n * dot(n, worldTangent);
    // A vertex without a usable tangent keeps its plain normal.
    if (dot(t, t) < 1e-12)
        return n;
    t = normalize(t);
    vec3 b = cross(n, t) * (tangentHandedness < 0.0 ? -1.0 : 1.0);
    vec3 mapped = texture(normalMap, uv).xyz * 2.0 - 1.0;
    vec3 result = t * mapped.x + b * mapped.y + n * mapped.z;
    return dot(result, result) > 1e-12 ? normalize(result) : n;
}

void main()
{
    if (worldPosition.y > ycoofade)
        discard;
    vec4 base = texture(colorMap, uv) * glColor;
    vec3 n = surfaceNormal();
    vec3 toEye = eyePosition - worldPosition;
    vec3 v = dot(toEye, toEye) > 1e-12 ? normalize(toEye) : n;
    float shadow = shadowFactor();
    const float SHININESS = 24.0;
    const float specularMask = 0.5;
    vec3 ambient = vec3(0.0);
    vec3 diffuse = vec3(0.0);
    vec3 shine = vec3(0.0);
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
        ambient += attenuation * vec3(lightsAmbientr[i], lightsAmbientg[i], lightsAmbientb[i]);
        diffuse += attenuation * facing * ramp * vec3(lightsDiffuser[i], lightsDiffuseg[i], lightsDiffuseb[i]);
        if (facing > 0.0) {
            float highlight = pow(max(dot(n, halfway(l, v)), 0.0), SHININESS);
            shine += attenuation * highlight * vec3(lightsSpecularr[i], lightsSpecularg[i], lightsSpecularb[i]);
        }
    }

    vec3 keyDirection = lightDirection();
    float keyFacing = max(dot(n, keyDirection), 0.0);
    float key = KEY_LIGHT * keyFacing * shadow;
    if (keyFacing > 0.0)
        shine += shadow * pow(max(dot(n, halfway(keyDirection, v)), 0.0), SHININESS) * vec3(KEY_LIGHT);
    vec3 light = ambient + diffuse * mix(SHADOWED_SHARE, 1.0, shadow) + vec3(key);
    vec3 colour = base.rgb * light + shine * mix(SHADOWED_SHARE, 1.0, shadow) * specularMask;

    float rim = pow(1.0 - max(dot(n, v), 0.0), 3.0);
    colour += RIM_COLOUR * rim;
    float seam = 1.0 - smoothstep(0.0, SEAM_HEIGHT, ycoofade - worldPosition.y);
    colour = mix(colour, SEAM_COLOUR, seam);

    gl_FragColor = vec4(colour, base.a);
}
