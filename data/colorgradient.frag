#version 330 compatibility
// Colour grading: each channel of "colorMap" through the matching channel of the curve
// "shadeMap" (u = channel value), mixed with the picture by "shadetone" (1 = fully graded).
// Reads only its own texel of "colorMap".

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D shadeMap;
uniform float shadetone;

void main()
{
    vec3 colour = texture(colorMap, texCoord).rgb;
    vec3 graded = vec3(texture(shadeMap, vec2(colour.r, 0.5)).r,
                       texture(shadeMap, vec2(colour.g, 0.5)).g,
                       texture(shadeMap, vec2(colour.b, 0.5)).b);
    gl_FragColor = vec4(mix(colour, graded, clamp(shadetone, 0.0, 1.0)), 1.0);
}
