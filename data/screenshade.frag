#version 330 compatibility
// Tinted monitor look: the brightness of "colorMap" looked up in the shade ramp "shadeMap"
// (u = brightness), mixed with the picture by "shadetone" (1 = all shade), times the
// "scanlines" picture repeated one texel per screen pixel, plus film noise from "noisepic"
// shifted by ("noisex", "noisey"). Reads only its own texel of "colorMap".

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D shadeMap;
uniform sampler2D scanlines;
uniform sampler2D noisepic;
uniform float shadetone;
uniform float noisex;
uniform float noisey;

const float NOISE_AMOUNT = 0.08;

void main()
{
    vec3 colour = texture(colorMap, texCoord).rgb;
    float brightness = dot(colour, vec3(0.299, 0.587, 0.114));
    vec3 shade = texture(shadeMap, vec2(brightness, 0.5)).rgb;
    vec3 toned = mix(colour, shade, clamp(shadetone, 0.0, 1.0));
    vec2 lines = gl_FragCoord.xy / vec2(textureSize(scanlines, 0));
    vec2 grain = gl_FragCoord.xy / vec2(textureSize(noisepic, 0)) + vec2(noisex, noisey);
    float noise = texture(noisepic, grain).r - 0.5;
    gl_FragColor = vec4(toned * texture(scanlines, lines).rgb + NOISE_AMOUNT * noise, 1.0);
}
