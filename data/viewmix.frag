#version 330 compatibility
// View wipe: left of the edge at "xc" (screen pixels) the new view "colorMap", right of it the
// old view "colorMap2", with a soft edge EDGE pixels wide on each side.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D colorMap2;
uniform float xc;

const float SCREEN_WIDTH = 1920.0;
const float EDGE = 48.0;

void main()
{
    float x = texCoord.x * SCREEN_WIDTH;
    float oldShare = smoothstep(xc - EDGE, xc + EDGE, x);
    vec3 newView = texture(colorMap, texCoord).rgb;
    vec3 oldView = texture(colorMap2, texCoord).rgb;
    gl_FragColor = vec4(mix(newView, oldView, oldShare), 1.0);
}
