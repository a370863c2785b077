#version 330 compatibility
// Legacy skinned-model program, fragment side: 14 lights from the uniform arrays, the normal
// map in tangent space, the light ramp of the set ("lightMap", the row picked per light by
// "lightMapSelect"), and the specular map.

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in float tangentHandedness;
in vec2 uv;
in vec4 lightSpacePosition;
in vec3 eyePosition;

uniform sampler2D colorMap;
uniform sampler2D normalMap;
uniform sampler2D lightMap;
uniform sampler2D specularMap;
uniform vec4 glColor;

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

const float SHININESS = 24.0;

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

void main()
{
    vec4 base = texture(colorMap, uv);
    vec3 specularTexel = texture(specularMap, uv).rgb;
    vec3 n = surfaceNormal();
    vec3 toEye = eyePosition - worldPosition;
    vec3 v = dot(toEye, toEye) > 1e-12 ? normalize(toEye) : n;

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
        if (diffuse > 0.0) {
            vec3 h = normalize(l + v);
            float highlight = pow(max(dot(n, h), 0.0), SHININESS);
            vec3 specularColour = vec3(lightsSpecularr[i], lightsSpecularg[i], lightsSpecularb[i]);
            shine += attenuation * highlight * specularColour;
        }
    }

    vec3 colour = base.rgb * lit + shine * specularTexel;
    gl_FragColor = vec4(colour, base.a) * glColor;
}
