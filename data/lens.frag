#version 330 compatibility
// Barrel distortion of "colorMap" growing with "lensfactor" (0 = none, 4 = strong), measured
// in screen proportions; what falls outside the picture is black.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform float lensfactor;

const vec2 ASPECT = vec2(16.0 / 9.0, 1.0);
const float STRENGTH = 0.04;

void main()
{
    vec2 fromCentre = (texCoord - vec2(0.5)) * ASPECT;
    float r2 = dot(fromCentre, fromCentre);
    vec2 source = fromCentre * (1.0 + lensfactor * STRENGTH * r2) / ASPECT + vec2(0.5);
    bool inside = all(greaterThanEqual(source, vec2(0.0))) && all(lessThanEqual(source, vec2(1.0)));
    vec3 colour = inside ? texture(colorMap, source).rgb : vec3(0.0);
    gl_FragColor = vec4(colour, 1.0);
}
