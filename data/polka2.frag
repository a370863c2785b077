#version 330 compatibility
// The zoom's halftone: every cell of DOTSIZE pixels holds a full-sized dot in the colour at
// its centre, like the lamps of a light wall; as the cells shrink the picture sharpens.
// phaze 0 draws the dots over "polkaBack"; phaze 1 gives them the sprite's ball shading.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D polkaBigMap;
uniform sampler2D polkaBack;
uniform float phaze;
uniform float DOTSIZE;
uniform float offsetx;
uniform float offsety;

const vec2 FRAME_SIZE = vec2(1920.0, 1080.0);

void main()
{
    vec2 pixel = gl_FragCoord.xy + vec2(offsetx, offsety);
    float size = max(DOTSIZE, 1.0);
    vec2 cell = floor(pixel / size);
    vec2 centre = (cell + 0.5) * size;
    vec3 source = texture(colorMap, clamp(centre / FRAME_SIZE, 0.0, 1.0)).rgb;
    vec2 local = (pixel - centre) / size * 1.08 + 0.5;
    bool inside = all(greaterThanEqual(local, vec2(0.0))) && all(lessThanEqual(local, vec2(1.0)));
    vec4 sprite = inside ? texture(polkaBigMap, local) : vec4(0.0);
    vec3 back = texture(polkaBack, texCoord).rgb;
    if (phaze < 0.5)
        gl_FragColor = vec4(mix(back, source, sprite.a), 1.0);
    else
        gl_FragColor = vec4(mix(back, back * (sprite.rgb * 2.0), sprite.a), 1.0);
}
