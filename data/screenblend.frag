#version 330 compatibility
// Screen blend of the bloom "bloomMap" over the picture "colorMap": 1 - (1 - a)(1 - b), so
// black bloom leaves the picture as it is and nothing goes past white. Reads only the texel
// of its own fragment, so it may draw into the target of "bloomMap".

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D bloomMap;

void main()
{
    vec3 picture = texture(colorMap, texCoord).rgb;
    vec3 bloom = texture(bloomMap, texCoord).rgb;
    gl_FragColor = vec4(1.0 - (1.0 - picture) * (1.0 - bloom), 1.0);
}
