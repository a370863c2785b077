#version 330 compatibility
// Additive glow, strongest where the surface is seen edge-on. "cameyevector" is the camera's
// view direction (eye to centre, not normalised); the light ramp row of the first light that
// is on tints the glow.

in vec3 worldNormal;
in vec2 uv;

uniform vec3 cameyevector;
uniform sampler2D colorMap;
uniform sampler2D normalMap;
uniform sampler2D lightMap;
uniform sampler2D specularMap;

const int LIGHT_COUNT = 14;
uniform float lightsEnabled[LIGHT_COUNT];
uniform float lightsinvRadius[LIGHT_COUNT];
uniform float lightMapSelect[LIGHT_COUNT];

void main()
{
    vec4 base = texture(colorMap, uv);
    vec3 n = dot(worldNormal, worldNormal) > 1e-12 ? normalize(worldNormal) : vec3(0.0, 0.0, 1.0);
    vec3 view = dot(cameyevector, cameyevector) > 1e-12 ? normalize(cameyevector) : vec3(0.0, 0.0, -1.0);
    float facing = abs(dot(n, view));
    float rim = 1.0 - facing;
    float glow = 0.35 + 0.65 * rim * rim;

    float row = 0.5;
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        if (lightsEnabled[i] > 0.5) {
            row = lightMapSelect[i];
            break;
        }
    }
    vec3 tint = texture(lightMap, vec2(glow, row)).rgb;
    gl_FragColor = vec4(base.rgb * mix(vec3(1.0), tint, 0.5) * glow, base.a * glow);
}
