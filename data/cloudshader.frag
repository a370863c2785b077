#version 330 compatibility
// Cumulus drifting across a clear sky, seen from below. The shapes are a sum of octaves of the
// tiling value noise in "iChannel0"; the noise of "iChannel1" slowly warps them so they billow
// as they drift. "iGlobalTime" starts near 1000 and grows by a few units per second.

in vec2 texCoord;
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform float iGlobalTime;

const vec2 ASPECT = vec2(16.0 / 9.0, 1.0);
const float SHAPE_SCALE = 0.42;            // noise tiles across the screen height
const vec2 WIND = vec2(0.0035, 0.0012);   // noise tiles per time unit
const float BILLOW = 0.0009;               // warp change per time unit
const int OCTAVES = 5;
const vec2 TO_SUN = vec2(-0.012, 0.018);   // shading step towards the light, in noise tiles
const vec2 SUN = vec2(0.18, 0.92);         // on the screen

const vec3 ZENITH = vec3(0.10, 0.30, 0.66);
const vec3 HORIZON = vec3(0.56, 0.74, 0.92);
const vec3 CLOUD_LIT = vec3(1.00, 0.98, 0.94);
const vec3 CLOUD_SHADE = vec3(0.46, 0.52, 0.64);
const vec3 SUN_GLOW = vec3(1.00, 0.90, 0.70);

float cloudNoise(vec2 p)
{
    float sum = 0.0;
    float amplitude = 0.5;
    float total = 0.0;
    for (int i = 0; i < OCTAVES; ++i) {
        sum += amplitude * texture(iChannel0, p).r;
        total += amplitude;
        p = p * 2.03 + vec2(0.31, 0.17);  // the offset breaks the octaves' common lattice
        amplitude *= 0.5;
    }
    return sum / total;
}

float density(float noise)
{
    return smoothstep(0.46, 0.68, noise);
}

void main()
{
    vec2 screen = texCoord * ASPECT;
    vec2 p = screen * SHAPE_SCALE + WIND * iGlobalTime;
    vec2 warp = texture(iChannel1, p * 0.37 + vec2(BILLOW * iGlobalTime, 0.0)).gb - 0.5;
    p += warp * 0.07;

    float here = cloudNoise(p);
    float towardSun = cloudNoise(p + TO_SUN);
    float cover = density(here);
    // Thinning towards the sun means the surface faces it.
    float lit = clamp(0.62 + 9.0 * (here - towardSun), 0.0, 1.0);
    float thick = smoothstep(0.55, 0.85, here);
    vec3 cloud = mix(CLOUD_SHADE, CLOUD_LIT, lit * (1.0 - 0.35 * thick));

    float sunDistance = length((texCoord - SUN) * ASPECT);
    float glow = exp(-sunDistance * 3.0);
    vec3 sky = mix(HORIZON, ZENITH, smoothstep(0.0, 1.0, texCoord.y)) + SUN_GLOW * glow * 0.45;
    // Thin cloud edges near the sun light up.
    cloud += SUN_GLOW * glow * (1.0 - cover) * 0.6;

    vec3 colour = mix(sky, cloud, cover);
    gl_FragColor = vec4(colour, 1.0);
}
