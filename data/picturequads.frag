#version 330 compatibility
// The quad's colour on the white pixel, as the fixed-function modulate would give it.

uniform sampler2D colorMap;

void main()
{
    gl_FragColor = gl_Color * texture(colorMap, gl_TexCoord[0].st);
}
