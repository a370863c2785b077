#version 330 compatibility
// "colorMap" through the brightness of "maskMap": with the picture as its own mask the dark
// gaps between the dots deepen; with the screen mask the picture fades out at its border.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D maskMap;

void main()
{
    vec3 colour = texture(colorMap, texCoord).rgb;
    float mask = dot(texture(maskMap, texCoord).rgb, vec3(0.3, 0.55, 0.15));
    gl_FragColor = vec4(colour * smoothstep(0.0, 0.6, mask), 1.0);
}
