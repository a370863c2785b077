#version 330 compatibility
// Glow sprites (explosions, debris, the orbs' halos): the sprite "colorMap" gives the shape
// (its alpha), the ramp "colorGradient" the colour. "colorIndex" is the sprite's heat, 1 fresh
// to 0 spent: it moves the sprite's bright centre from the ramp's hot end towards its dark end
// and fades it out. "colorSelect" (0..1) picks the ramp's row. Drawn with additive blending.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D colorGradient;
uniform float colorIndex;
uniform float colorSelect;

void main()
{
    float heat = clamp(colorIndex, 0.0, 1.0);
    float shape = texture(colorMap, texCoord).a;
    float along = clamp(shape * (0.35 + 0.65 * heat), 0.0, 1.0);
    vec3 colour = texture(colorGradient, vec2(along, clamp(colorSelect, 0.0, 1.0))).rgb;
    gl_FragColor = vec4(colour, shape * min(1.0, heat * 2.0 + 0.15) * gl_Color.a);
}
