#version 330 compatibility
// One step of a running average over "blurframes" frames: the accumulation "colorMap1"
// moves 1/blurframes of the way to the frame "colorMap2". Reads only its own texel, so it may
// draw into the target of "colorMap1".

in vec2 texCoord;
uniform sampler2D colorMap1;
uniform sampler2D colorMap2;
uniform float blurframes;

void main()
{
    vec4 accumulated = texture(colorMap1, texCoord);
    vec4 frame = texture(colorMap2, texCoord);
    float share = blurframes > 1.0 ? 1.0 / blurframes : 1.0;
    gl_FragColor = mix(accumulated, frame, share);
}
