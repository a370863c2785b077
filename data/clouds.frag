#version 330 compatibility
// The game's cloud layer: a sloping ceiling of cloud above the level, drawn additively over the
// backdrop. The quad's first texture coordinate runs from its near edge (0) to the horizon
// (1.2), the second across the view (0..3). Two tiling cloud layers drift at their own speeds
// ("scroll1", "scroll2", 0..1 wrapping), the tiling mask breaks them into banks, and the layer
// thins out towards the horizon and the near edge.

in vec2 texCoord;
uniform sampler2D clouds1;
uniform sampler2D clouds2;
uniform sampler2D cloudsmask;
uniform float scroll1;
uniform float scroll2;

const vec3 CLOUD_LIT = vec3(1.0, 0.97, 0.92);
const vec3 CLOUD_SHADE = vec3(0.62, 0.68, 0.82);
const float OPACITY = 0.85;

void main()
{
    float depth = texCoord.x / 1.2;
    vec2 across = vec2(texCoord.y, texCoord.x);
    float big = texture(clouds1, across * vec2(0.5, 1.4) + vec2(scroll1, 0.0)).a;
    float fine = texture(clouds2, across * vec2(1.0, 2.6) + vec2(scroll2 * 2.0, 0.37)).a;
    float banks = texture(cloudsmask, across * vec2(0.25, 0.8) + vec2(scroll2, 0.11)).a;
    float density = clamp(big * (0.55 + 0.9 * banks) + 0.35 * fine * banks - 0.15, 0.0, 1.0);
    // The top of the view sees about half-way along the layer; the far end meets the horizon.
    float fade = smoothstep(0.5, 0.58, depth) * (1.0 - smoothstep(0.86, 1.0, depth));
    // Thick cloud is lit on top and shaded underneath.
    vec3 colour = mix(CLOUD_SHADE, CLOUD_LIT, clamp(0.35 + 0.65 * fine + 0.3 * (1.0 - density), 0.0, 1.0));
    gl_FragColor = vec4(colour, density * fade * OPACITY);
}
