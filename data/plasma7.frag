#version 330 compatibility
// Plasma layer over the whole frame: two fields of travelling sines, rotated by the fifth
// phase ("xs", "ys" = its sine and cosine), look up a colour in the cyclic map "colorMap".
// "zoom" is the size of one field unit in screen pixels; "factor" fades the layer out.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform float anim1;
uniform float anim2;
uniform float anim3;
uniform float anim4;
uniform float xs;
uniform float ys;
uniform float zoom;
uniform float factor;

void main()
{
    vec2 pixel = texCoord * vec2(1920.0, 1080.0) - vec2(960.0, 540.0);
    vec2 p = pixel / max(zoom, 1.0);
    vec2 q = vec2(p.x * ys - p.y * xs, p.x * xs + p.y * ys);
    vec2 wander = vec2(sin(anim4 * 7.0), cos(anim4 * 5.0)) * 1.8;

    float first = sin(q.x * 2.1 + anim1 * 3.0) + sin(q.y * 1.7 - anim2 * 2.0)
                + sin((q.x + q.y) * 1.3 + anim3 * 5.0) + sin(length(q - wander) * 2.6 - anim1 * 2.0);
    float second = sin(q.y * 1.9 + anim3 * 4.0) + sin((q.x - q.y) * 1.1 - anim2 * 1.5)
                 + sin(length(q + wander.yx) * 2.2 + anim4 * 9.0);

    vec2 uv = vec2(first * 0.19 + anim1 * 0.05, second * 0.21 + 0.5);
    vec3 colour = texture(colorMap, uv).rgb;
    float glow = 0.5 + 0.5 * sin(first * 1.6);
    float alpha = clamp(factor, 0.0, 1.0) * (0.58 + 0.34 * glow);
    gl_FragColor = vec4(colour * (0.8 + 0.45 * glow), alpha);
}
