#version 330 compatibility
// Chrome for the legacy environment state. The surroundings are a cube-shaped studio stored by
// direction ("envMap": u the turn about the vertical axis from -z, v the elevation from
// straight down to straight up); "scroll" turns the studio about the vertical axis, in whole
// turns. The silhouette glows with the rim ramp "angerLight" (u from facing the eye to edge-on,
// v the ramp's row, cycled by the same scroll). The lights add their highlights, shaped by the
// model's own light-map ramp ("lightMap") and relief ("normalMap"); the current colour tints
// the metal.

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in float tangentHandedness;
in vec2 uv;
in vec3 eyePosition;

uniform sampler2D normalMap;
uniform sampler2D lightMap;
uniform sampler2D envMap;
uniform sampler2D angerLight;
uniform float scroll;

const int LIGHT_COUNT = 14;
uniform float lightsEnabled[LIGHT_COUNT];
uniform float lightsinvRadius[LIGHT_COUNT];
uniform float lightMapSelect[LIGHT_COUNT];
uniform float lightsPosx[LIGHT_COUNT];
uniform float lightsPosy[LIGHT_COUNT];
uniform float lightsPosz[LIGHT_COUNT];
uniform float lightsDiffuser[LIGHT_COUNT];
uniform float lightsDiffuseg[LIGHT_COUNT];
uniform float lightsDiffuseb[LIGHT_COUNT];
uniform float lightsSpecularr[LIGHT_COUNT];
uniform float lightsSpecularg[LIGHT_COUNT];
uniform float lightsSpecularb[LIGHT_COUNT];

const float PI = 3.14159265;
const float HIGHLIGHT_POWER = 60.0;
// The rim ramp's rows pass by twice per turn of the studio.
const float RIM_CYCLES = 2.0;

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

vec3 studio(vec3 r)
{
    float turn = atan(r.x, -r.z) / (2.0 * PI);
    float v = asin(clamp(r.y, -1.0, 1.0)) / PI + 0.5;
    // Two readings of the turn that jump at opposite sides; the filter footprint comes from
    // the one that is smooth here, so the seam behind the eye does not show.
    float u = turn + scroll;
    float uOther = fract(turn + 0.5) + scroll;
    vec2 dx = vec2(dFdx(u), dFdx(v));
    vec2 dy = vec2(dFdy(u), dFdy(v));
    vec2 dxOther = vec2(dFdx(uOther), dx.y);
    vec2 dyOther = vec2(dFdy(uOther), dy.y);
    if (abs(dxOther.x) + abs(dyOther.x) < abs(dx.x) + abs(dy.x)) {
        dx = dxOther;
        dy = dyOther;
    }
    return textureGrad(envMap, vec2(u, v), dx, dy).rgb;
}

void main()
{
    vec3 n = surfaceNormal();
    vec3 toEye = eyePosition - worldPosition;
    vec3 view = dot(toEye, toEye) > 1e-12 ? normalize(toEye) : n;
    vec3 r = reflect(-view, n);
    float facing = max(dot(n, view), 0.0);
    float fresnel = 0.65 + 0.35 * pow(1.0 - facing, 3.0);
    vec3 chrome = studio(r) * gl_Color.rgb * fresnel;
    vec3 rim = texture(angerLight, vec2(1.0 - facing, fract(scroll * RIM_CYCLES))).rgb;

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
        vec3 diffuseColour = vec3(lightsDiffuser[i], lightsDiffuseg[i], lightsDiffuseb[i]);
        vec3 specularColour = vec3(lightsSpecularr[i], lightsSpecularg[i], lightsSpecularb[i]);
        shine += attenuation * (0.15 * diffuseColour * ramp * diffuse +
                                pow(max(dot(r, l), 0.0), HIGHLIGHT_POWER) * specularColour);
    }

    gl_FragColor = vec4(chrome + rim + 0.5 * shine * gl_Color.rgb, 1.0);
}
