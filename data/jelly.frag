#version 330 compatibility
// Plays the star's 300 pre-rendered frames from the two atlases ("bigtexture": frames 0..239
// in 16 x 15 cells, "bigtexture2": 240..299 in 16 x 4), blending each frame into the next. The
// green backdrop is keyed out, "jellymask1" wobbles the picture as much as "mixpercent" says,
// and "jellymask2" lays the jelly's sheen over the star.

in vec2 texCoord;
uniform sampler2D jellymask1;
uniform sampler2D jellymask2;
uniform sampler2D bigtexture;
uniform sampler2D bigtexture2;
uniform float frame;       // 0..1 through the frames
uniform float mixpercent;  // 0..1, the wobble's strength

vec3 cellColour(int f, vec2 uv)
{
    if (f < 240)
        return texture(bigtexture, (vec2(f % 16, f / 16) + uv) / vec2(16.0, 15.0)).rgb;
    f -= 240;
    return texture(bigtexture2, (vec2(f % 16, f / 16) + uv) / vec2(16.0, 4.0)).rgb;
}

void main()
{
    vec2 wobble = (texture(jellymask1, texCoord * vec2(1.0, 1.125) + vec2(frame * 2.0, frame)).rg - 0.5)
                  * 0.05 * mixpercent;
    vec2 uv = clamp(texCoord + wobble, 0.0005, 0.9995);
    float f = clamp(frame, 0.0, 1.0) * 300.0;
    int f0 = int(f) % 300;
    int f1 = (f0 + 1) % 300;
    vec3 c = mix(cellColour(f0, uv), cellColour(f1, uv), fract(f));
    float green = clamp((c.g - max(c.r, c.b)) * 2.5, 0.0, 1.0);
    float alpha = 1.0 - green;
    vec3 colour = vec3(c.r, min(c.g, max(c.r, c.b)), c.b);
    vec4 shine = texture(jellymask2, texCoord);
    colour = colour * (0.8 + 0.35 * shine.r) + vec3(shine.g * 0.5);
    gl_FragColor = vec4(colour, alpha);
}
