#version 330 compatibility
// Palette pass: the brightness of "colorMap" picks a colour from the lookup table "palette"
// (u = brightness, v = "verticalpalettepos", the row the scene has scrolled to; rows wrap).
// The brightness is held inside the table's first and last column so the ends never wrap
// round, and the table is read at its full resolution whatever the screen derivatives are.

in vec2 texCoord;
uniform sampler2D colorMap;
uniform sampler2D palette;
uniform float verticalpalettepos;

void main()
{
    vec3 source = texture(colorMap, texCoord).rgb;
    float brightness = dot(source, vec3(0.299, 0.587, 0.114));
    float halfTexel = 0.5 / float(textureSize(palette, 0).x);
    float u = clamp(brightness, halfTexel, 1.0 - halfTexel);
    gl_FragColor = vec4(textureLod(palette, vec2(u, verticalpalettepos), 0.0).rgb, 1.0);
}
