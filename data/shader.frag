#version 330 compatibility
// Default lit program, fragment side: the fixed-function lights (positions and colours) that
// "lightsEnabled" switches on, reach from "lightsinvRadius", the light ramp "lightMap" (row
// per light from "lightMapSelect"), the normal map in tangent space and the specular map.

in vec3 viewPosition;
in vec3 viewNormal;
in vec3 viewTangent;
in vec2 uv;

uniform sampler2D colorMap;
uniform sampler2D normalMap;
uniform sampler2D lightMap;
uniform sampler2D specularMap;

const int LIGHT_COUNT = 14;
uniform float lightsEnabled[LIGHT_COUNT];
uniform float lightsinvRadius[LIGHT_COUNT];
uniform float lightMapSelect[LIGHT_COUNT];

const float SHININESS = 24.0;

// The half vector of two unit directions; none (no highlight) when they point apart.
vec3 halfway(vec3 a, vec3 b)
{
    vec3 h = a + b;
    return dot(h, h) > 1e-12 ? normalize(h) : vec3(0.0);
}

vec3 surfaceNormal()
{
    // A vertex without a normal faces the viewer.
    vec3 n = dot(viewNormal, viewNormal) > 1e-12 ? normalize(viewNormal) : vec3(0.0, 0.0, 1.0);
    vec3 t = viewTangent - n * dot(n, viewTangent);
    if (dot(t, t) < 1e-12)
        return n;
    t = normalize(t);
    vec3 b = cross(n, t);
    vec3 mapped = texture(normalMap, uv).xyz * 2.0 - 1.0;
    vec3 result = t * mapped.x + b * mapped.y + n * mapped.z;
    return dot(result, result) > 1e-12 ? normalize(result) : n;
}

void main()
{
    vec4 base = texture(colorMap, uv);
    vec3 n = surfaceNormal();
    vec3 v = dot(viewPosition, viewPosition) > 1e-12 ? normalize(-viewPosition) : n;
    vec3 lit = vec3(0.0);
    vec3 shine = vec3(0.0);
    // The fixed-function lights stop at gl_MaxLights; the arrays may name more.
    for (int i = 0; i < min(LIGHT_COUNT, gl_MaxLights); ++i) {
        if (lightsEnabled[i] < 0.5)
            continue;
        vec4 lightPosition = gl_LightSource[i].position;
        vec3 toLight = lightPosition.w == 0.0 ? lightPosition.xyz : lightPosition.xyz - viewPosition;
        float distance = lightPosition.w == 0.0 ? 0.0 : length(toLight);
        vec3 l = dot(toLight, toLight) > 1e-12 ? normalize(toLight) : n;
        float reach = distance * lightsinvRadius[i];
        float attenuation = clamp(1.0 - reach * reach, 0.0, 1.0);
        float diffuse = max(dot(n, l), 0.0);
        vec3 ramp = texture(lightMap, vec2(diffuse, lightMapSelect[i])).rgb;
        lit += attenuation * (gl_LightSource[i].ambient.rgb + gl_LightSource[i].diffuse.rgb * ramp * diffuse);
        if (diffuse > 0.0) {
            float highlight = pow(max(dot(n, halfway(l, v)), 0.0), SHININESS);
            shine += attenuation * highlight * gl_LightSource[i].specular.rgb;
        }
    }
    vec3 colour = base.rgb * lit + shine * texture(specularMap, uv).rgb;
    gl_FragColor = vec4(colour, base.a);
}
