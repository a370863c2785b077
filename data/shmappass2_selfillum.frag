#version 330 compatibility
// Self-lit model pass for "shmappass2.vert": the base texture glows by itself, tinted by
// "glColor", brightest where the specular map is, with no shadow and no light table.

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 uv;
in vec3 eyePosition;

uniform sampler2D colorMap;
uniform sampler2D specularMap;
uniform vec4 glColor = vec4(1.0);

void main()
{
    vec4 base = texture(colorMap, uv) * glColor;
    float glow = 0.6 + 0.4 * texture(specularMap, uv).r;
    vec3 n = normalize(worldNormal);
    vec3 v = normalize(eyePosition - worldPosition);
    float facing = 0.75 + 0.25 * abs(dot(n, v));
    gl_FragColor = vec4(base.rgb * glow * facing, base.a);
}
