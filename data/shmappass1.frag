#version 330 compatibility
// Light-view depth pass: the window depth (0 near .. 1 far) as a 24-bit integer in the RGB8
// shadow map, red the top byte. White, the clear colour, reads back as the far plane.

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
    gl_FragColor = vec4(packDepth(gl_FragCoord.z), 1.0);
}
