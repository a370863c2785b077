#version 330 compatibility
// Lens fringe and vignette over "colorMap": red and blue drift apart towards the corners,
// which darken.

in vec2 texCoord;
uniform sampler2D colorMap;

const float FRINGE = 0.004;
const float VIGNETTE = 0.6;

void main()
{
    vec2 fromCentre = texCoord - vec2(0.5);
    float red = texture(colorMap, texCoord + fromCentre * FRINGE).r;
    float green = texture(colorMap, texCoord).g;
    float blue = texture(colorMap, texCoord - fromCentre * FRINGE).b;
    float vignette = 1.0 - VIGNETTE * dot(fromCentre, fromCentre);
    gl_FragColor = vec4(vec3(red, green, blue) * vignette, 1.0);
}
