#version 330 compatibility
// Full-screen plasma: four interfering sine fields over the screen, turned by ("xs", "ys") =
// (sin, cos) of an angle and scaled by "zoom", their sum wrapped into the colour ramp
// "colorMap" (a cyclic ramp along u). "anim1" to "anim4" are the fields' phases.

in vec2 texCoord;

uniform sampler2D colorMap;
uniform float anim1;
uniform float anim2;
uniform float anim3;
uniform float anim4;
uniform float xs;
uniform float ys;
uniform float zoom;

void main()
{
    // Screen position with square units, centred, then turned and scaled.
    vec2 p = (texCoord - 0.5) * vec2(16.0 / 9.0, 1.0);
    p = vec2(p.x * ys - p.y * xs, p.x * xs + p.y * ys) / zoom;

    float value = sin(p.x * 5.0 + anim1);
    value += sin(p.y * 4.0 - anim2 * 0.7);
    value += sin((p.x + p.y) * 3.5 + anim3 * 2.0);
    vec2 centre = vec2(sin(anim4 * 3.0) * 0.8, cos(anim3 * 1.3) * 0.5);
    value += sin(length(p - centre) * 7.0 - anim2);
    value += 0.5 * sin(length(p + centre.yx) * 11.0 + anim1 * 0.5);

    float band = value * 0.16 + anim4 * 0.5;
    vec3 colour = texture(colorMap, vec2(band, 0.5)).rgb;
    // A little extra light where the fields agree: the bands shimmer.
    colour *= 0.85 + 0.25 * smoothstep(1.5, 3.5, abs(value));
    gl_FragColor = vec4(colour, 1.0);
}
