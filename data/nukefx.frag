#version 330 compatibility
// Shockwave: the rings drawn into "nukecircleMap" push the picture "colorMap" outward from the
// blast centre ("xc", "yc", screen pixels) and add a blue-white glow where they are bright.

in vec2 texCoord;
uniform sampler2D nukecircleMap;
uniform sampler2D colorMap;
uniform float xc;
uniform float yc;

const vec2 SCREEN = vec2(1920.0, 1080.0);
const float PUSH_PIXELS = 24.0;
const vec3 GLOW = vec3(0.35, 0.6, 1.0);

void main()
{
    vec2 pixel = texCoord * SCREEN;
    vec2 fromCentre = pixel - vec2(xc, yc);
    float distance = length(fromCentre);
    vec2 outward = distance > 1e-3 ? fromCentre / distance : vec2(0.0);
    float ring = texture(nukecircleMap, texCoord).r;
    vec2 source = (pixel - outward * ring * PUSH_PIXELS) / SCREEN;
    vec3 colour = texture(colorMap, clamp(source, vec2(0.0), vec2(1.0))).rgb;
    gl_FragColor = vec4(colour + ring * 0.5 * GLOW, 1.0);
}
