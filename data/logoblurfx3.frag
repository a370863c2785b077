#version 330 compatibility
// Glow composite: the sharp picture ("colorMap") with the blurred glowing parts ("blurMap")
// added on top, a little stronger than they were, so the glow reaches past the parts' edges.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D blurMap;

const float GLOW_GAIN = 1.3;

void main()
{
    vec3 sharp = texture(colorMap, texCoord).rgb;
    vec3 glow = texture(blurMap, texCoord).rgb;
    gl_FragColor = vec4(sharp + glow * GLOW_GAIN, 1.0);
}
