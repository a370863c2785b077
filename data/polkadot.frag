#version 330 compatibility
// Halftone of "colorMap" in screen cells of DOTSIZE pixels. phaze 0: each cell's dot takes the
// colour at the cell's centre, its radius grows with that colour's brightness, and the dot's
// shape is the alpha of "polkaBigMap", laid over "polkaBack". phaze 1: the dots of the first
// pass ("polkaBack") get the sprite's ball shading, so they stand out like polished beads.

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
    float brightness = dot(source, vec3(0.3, 0.55, 0.15));
    float radius = mix(0.35, 1.0, sqrt(clamp(brightness, 0.0, 1.0)));
    vec2 local = (pixel - centre) / (size * radius) + 0.5;
    bool inside = all(greaterThanEqual(local, vec2(0.0))) && all(lessThanEqual(local, vec2(1.0)));
    vec4 sprite = inside ? texture(polkaBigMap, local) : vec4(0.0);
    vec3 back = texture(polkaBack, texCoord).rgb;
    if (phaze < 0.5) {
        gl_FragColor = vec4(mix(back, source * 1.1, sprite.a), 1.0);
    } else {
        // The sprite's colour holds the ball's light: 0.5 is unlit.
        vec3 shaded = back * (sprite.rgb * 2.0);
        gl_FragColor = vec4(mix(back, shaded, sprite.a), 1.0);
    }
}
