#version 330 compatibility
// Environment-mapped chrome for the tunnel's sphere. The surroundings are the tunnel itself:
// a reflected ray is followed to the wall of a tube around the world's -z axis and the
// environment picture ("envMap", the tunnel wall as it appears) is read there, scrolled along
// the tube by "scroll" just as the wall is, so the sphere mirrors the tunnel streaming past.
// The hull's panel relief comes from "normalMap". "glColor" scales a lit layer of the colour
// map on top: black leaves pure chrome, the scene raises it on a beat.

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in float tangentHandedness;
in vec2 uv;
in vec3 eyePosition;

uniform sampler2D colorMap;
uniform sampler2D normalMap;
uniform sampler2D lightMap;
uniform sampler2D envMap;
uniform vec4 glColor;
uniform float scroll;

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

// The tube the sphere mirrors, as the tunnel's data describes it: radius, picture repeats
// around it, repeats per unit along it (after the scene's stretch of v), and how fast the far
// reflections darken.
const float TUBE_RADIUS = 1.72;
const float TUBE_U_TILES = 4.0;
const float TUBE_V_PER_UNIT = 0.2;
const float FAR_FADE = 35.0;
const float PI = 3.14159265;
const vec3 CHROME = vec3(0.92, 0.96, 1.0);
const float ENV_GAIN = 1.35;
const float HIGHLIGHT_POWER = 90.0;

vec3 surfaceNormal()
{
    vec3 n = normalize(worldNormal);
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

vec3 tunnelReflection(vec3 r)
{
    float across = length(r.xy);
    float along = TUBE_RADIUS * -r.z / max(across, 1e-3);
    float turn = atan(r.y, r.x) / (2.0 * PI);
    // Two readings of the angle that jump at opposite sides; the filter footprint comes from
    // the one that is smooth here, so the seam does not show.
    float u = turn * TUBE_U_TILES;
    float uOther = fract(turn + 0.5) * TUBE_U_TILES;
    float v = along * TUBE_V_PER_UNIT + scroll;
    vec2 dx = vec2(dFdx(u), dFdx(v));
    vec2 dy = vec2(dFdy(u), dFdy(v));
    vec2 dxOther = vec2(dFdx(uOther), dx.y);
    vec2 dyOther = vec2(dFdy(uOther), dy.y);
    if (abs(dxOther.x) + abs(dyOther.x) < abs(dx.x) + abs(dy.x)) {
        dx = dxOther;
        dy = dyOther;
    }
    vec3 wall = textureGrad(envMap, vec2(u, v), dx, dy).rgb;
    return wall / (1.0 + abs(along) / FAR_FADE);
}

void main()
{
    vec3 n = surfaceNormal();
    vec3 toEye = eyePosition - worldPosition;
    vec3 view = dot(toEye, toEye) > 1e-12 ? normalize(toEye) : n;
    vec3 r = reflect(-view, n);
    float facing = max(dot(n, view), 0.0);
    float fresnel = 0.7 + 0.3 * pow(1.0 - facing, 3.0);
    vec3 chrome = tunnelReflection(r) * CHROME * ENV_GAIN * fresnel;

    vec4 base = texture(colorMap, uv);
    vec3 lit = vec3(0.0);
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
        float diffuse = max(dot(n, l), 0.0);
        vec3 ramp = texture(lightMap, vec2(diffuse, lightMapSelect[i])).rgb;
        vec3 ambient = vec3(lightsAmbientr[i], lightsAmbientg[i], lightsAmbientb[i]);
        vec3 diffuseColour = vec3(lightsDiffuser[i], lightsDiffuseg[i], lightsDiffuseb[i]);
        lit += attenuation * (ambient + diffuseColour * ramp * diffuse);
        vec3 specularColour = vec3(lightsSpecularr[i], lightsSpecularg[i], lightsSpecularb[i]);
        shine += attenuation * pow(max(dot(r, l), 0.0), HIGHLIGHT_POWER) * specularColour;
    }

    vec3 flash = base.rgb * lit * glColor.rgb;
    gl_FragColor = vec4(chrome + 0.5 * shine + flash, 1.0);
}
