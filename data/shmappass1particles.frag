#version 330 compatibility
// Light-view depth pass of a billboard particle: the sprite's alpha ("colorMap" on unit 0)
// cuts the quad to the puff's shape; the depth is packed into 24 bits of RGB like the model
// depth pass, red the top byte.

uniform sampler2D colorMap;

in vec2 uv;

vec3 packDepth(float depth)
{
    float value = floor(clamp(depth, 0.0, 1.0) * 16777215.0 + 0.5);
    float high = floor(value / 65536.0);
    float middle = floor((value - high * 65536.0) / 256.0);
    float low = value - high * 65536.0 - middle * 256.0;
    return vec3(high, middle, low) / 255.0;
}

void main()
{
    if (texture(colorMap, uv).a < 0.35)
        discard;
    gl_FragColor = vec4(packDepth(gl_FragCoord.z), 1.0);
}
