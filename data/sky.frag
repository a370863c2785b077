#version 330 compatibility
// An evening sky over the sea. The sky colour comes from the ramp "colorAbber" (u = elevation,
// v = the slow change of the evening light); a cloud layer in perspective samples the tiling
// cover "skyclouds", distorted by the noise of "iChannel0" and thinned in slowly wandering
// patches by "iChannel1", which also ripples the water under the sun. "iGlobalTime" starts
// near 1000 and grows by a few units per second.

in vec2 texCoord;
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform sampler2D colorAbber;
uniform sampler2D skyclouds;
uniform float iGlobalTime;

const float ASPECT = 16.0 / 9.0;
const float HORIZON = 0.17;            // screen height of the horizon
const float RAMP_HORIZON = 0.12;       // ramp u of the horizon line
const vec2 RAMP_TEXELS = vec2(256.0, 64.0);
const vec2 SUN = vec2(0.66, 0.25);
const float CLOUD_HEIGHT = 0.35;       // cloud tiles across one unit of view depth
const vec2 WIND = vec2(0.0020, 0.0055);  // cloud tiles per time unit, towards the horizon
const float LIGHT_CHANGE = 0.0035;     // ramp v phase per time unit
const float WAVE_SPEED = 0.01;

// The ramp is sampled inside its border texels: it does not wrap.
vec3 ramp(float u, float light)
{
    vec2 at = clamp(vec2(u, light), 0.5 / RAMP_TEXELS, 1.0 - 0.5 / RAMP_TEXELS);
    return texture(colorAbber, at).rgb;
}

void main()
{
    float t = iGlobalTime;
    float light = 0.5 + 0.5 * sin(t * LIGHT_CHANGE);
    vec2 screen = vec2((texCoord.x - 0.5) * ASPECT, texCoord.y);
    vec2 toSun = (texCoord - SUN) * vec2(ASPECT, 1.0);
    float sunDistance = length(toSun);
    vec3 sunColour = ramp(RAMP_HORIZON + 0.03, light) * 1.25;

    vec3 colour;
    if (texCoord.y >= HORIZON) {
        float above = (texCoord.y - HORIZON) / (1.0 - HORIZON);
        colour = ramp(RAMP_HORIZON + (1.0 - RAMP_HORIZON) * pow(above, 0.75), light);
        colour += sunColour * (exp(-sunDistance * 5.0) * 0.55 + smoothstep(0.034, 0.028, sunDistance));

        // The cloud layer: a plane above the eye, so the view depth grows towards the horizon.
        float rise = texCoord.y - HORIZON + 0.015;
        float depth = 1.0 / rise;
        vec2 plane = vec2(screen.x * depth, depth) * CLOUD_HEIGHT + WIND * t;
        vec2 warp = texture(iChannel0, plane * 0.21 + vec2(0.0, t * 0.0004)).rg - 0.5;
        plane += warp * 0.18;
        vec4 cover = texture(skyclouds, plane);
        float patches = smoothstep(0.25, 0.7, texture(iChannel1, plane * 0.07 - vec2(t * 0.0002, 0.0)).b);
        float cloud = cover.a * patches * smoothstep(0.0, 0.16, rise);
        // Clouds take the sky's colour a little above them, warmer towards the sun, and their
        // thin edges catch its light.
        float nearSun = exp(-sunDistance * 2.0);
        vec3 body = ramp(RAMP_HORIZON + 0.1 + 0.5 * above, light);
        vec3 shade = mix(body * 0.8, sunColour, nearSun * 0.7);
        vec3 cloudColour = cover.rgb * shade * 1.1 + sunColour * (0.15 + 0.6 * nearSun) * (1.0 - cover.a);
        colour = mix(colour, cloudColour, cloud);
    } else {
        // The sea: the sky's haze darkening towards the viewer, with the sun's path glittering.
        float below = (HORIZON - texCoord.y) / HORIZON;
        colour = ramp(RAMP_HORIZON * (1.0 - below), light) * (1.0 - 0.35 * below);
        float depth = 1.0 / (HORIZON - texCoord.y + 0.01);
        vec2 water = vec2(screen.x * depth * 0.35, depth * 0.9 + t * WAVE_SPEED);
        float ripple = texture(iChannel1, water * vec2(1.0, 0.25)).r * texture(iChannel0, water * 0.5).g;
        float path = exp(-abs(toSun.x) * (5.0 + 10.0 * below));
        colour += sunColour * path * smoothstep(0.22, 0.5, ripple) * (1.0 - 0.6 * below);
        colour = mix(colour, ramp(RAMP_HORIZON, light), exp(-(HORIZON - texCoord.y) * 60.0) * 0.6);
    }
    vec2 fromCentre = texCoord - 0.5;
    colour *= 1.0 - 0.35 * dot(fromCentre, fromCentre);
    gl_FragColor = vec4(colour, 1.0);
}
