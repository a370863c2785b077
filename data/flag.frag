#version 330 compatibility
// The waving flag over the whole screen: waves travel from the hoist (u = 0) to the fly, the
// displacement map ruffles the cloth, the folds' light scrolls with the waves and picks the
// cloth's tint. flagAnim grows by 1.2 a second.

in vec2 texCoord;
uniform sampler2D colorMap;     // the flag's picture
uniform sampler2D displaceMap;  // ruffle offsets in red and green around 0.5
uniform sampler2D shadowMap;    // the folds' light along u
uniform sampler2D colorAbber;   // tint by light, u = light
uniform float flagAnim;

void main()
{
    float t = flagAnim;
    vec2 uv = texCoord;
    float hoist = clamp(uv.x * 1.4, 0.0, 1.0);  // the cloth is held still at the pole
    float phase = uv.x * 9.0 - t * 2.4 + uv.y * 2.0;
    float wave = sin(phase) + 0.45 * sin(uv.x * 17.0 - t * 3.7 - uv.y * 3.0);
    vec2 ruffle = texture(displaceMap, uv * vec2(1.5, 1.0) + vec2(-t * 0.08, t * 0.02)).rg - 0.5;
    vec2 p = uv + (vec2(0.0, wave * 0.02) + ruffle * 0.025) * hoist;
    vec3 cloth = texture(colorMap, clamp(p, 0.002, 0.998)).rgb;
    float fold = texture(shadowMap, vec2(uv.x - t * 0.1, uv.y)).r;
    float slope = cos(phase) * 0.5 + 0.5;
    float light = mix(1.0, mix(0.5, 1.2, slope * 0.65 + fold * 0.35), hoist);
    vec3 tint = texture(colorAbber, vec2(clamp(light * 0.8, 0.0, 1.0), 0.5)).rgb;
    gl_FragColor = vec4(cloth * light * tint, 1.0);
}
