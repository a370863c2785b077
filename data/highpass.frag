#version 330 compatibility
// "colorMap" sharpened: the picture plus twice its difference from a 5 x 5 blur, so edges
// ring bright and flat areas keep their colour.

in vec2 texCoord;
uniform sampler2D colorMap;

const vec2 TEXEL = vec2(1.0 / 1920.0, 1.0 / 1080.0);

void main()
{
    vec3 centre = texture(colorMap, texCoord).rgb;
    vec3 blur = vec3(0.0);
    for (int y = -2; y <= 2; ++y)
        for (int x = -2; x <= 2; ++x)
            blur += texture(colorMap, texCoord + vec2(x, y) * TEXEL * 2.0).rgb;
    blur /= 25.0;
    gl_FragColor = vec4(clamp(centre + (centre - blur) * 2.0, 0.0, 1.0), 1.0);
}
