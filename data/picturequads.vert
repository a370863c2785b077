#version 330 compatibility
// The opening picture's quads: instance i is pixel (x, y) = (i / 256, i % 256), columns
// outer; the four vertices are its corners (0, 0), (1, 0), (1, 1), (0, 1). The pictures come
// as bytes, each counting byte / 256; the arithmetic follows the CPU loop of the scene so the
// picture is the same.

layout(location = 0) in vec2 corner;

uniform usampler2D picture;
uniform usampler2D displace;
uniform usampler2D displace2;
uniform float driftX;
uniform float driftY;
uniform float push;
uniform float brightness;
uniform float mapBlend;
uniform int columnShift;  // whole columns, 0..254

const int SIDE = 256;
const int LAST_PIXEL = SIDE * SIDE - 1;
const float BYTE_SCALE = 1.0 / 256.0;

vec4 pixelAt(usampler2D map, int index)
{
    return vec4(texelFetch(map, ivec2(index % SIDE, index / SIDE), 0)) * BYTE_SCALE;
}

void main()
{
    int x = gl_InstanceID / SIDE;
    int y = gl_InstanceID % SIDE;
    int i = x + SIDE * y;
    int k = x + columnShift;
    if (k > SIDE - 1)
        k -= SIDE - 1;
    k = clamp(k, 0, SIDE - 1);
    int ik = k + SIDE * y;

    vec4 p = pixelAt(picture, i);
    vec4 m1 = pixelAt(displace, i);
    vec4 m2 = pixelAt(displace2, i);
    float m1nr = pixelAt(displace, min(i + 1, LAST_PIXEL)).r;
    float m2kr = pixelAt(displace2, ik).r;
    float m2knr = pixelAt(displace2, min(ik + 1, LAST_PIXEL)).r;

    float divisor = 0.01 + push;
    vec4 colour = vec4(brightness * p.r * m1.r / divisor * 0.5, brightness * p.g * m1.g / divisor,
                       brightness * p.b * m1.b / divisor, p.a);

    float keep = 1.0 - mapBlend;
    float fx = float(x);
    float fy = float(y);
    float gridX = keep * (fx + driftX * m1.g) + mapBlend * (fx + driftX * 1.5 * m2.g);
    float gridY = keep * (fy + driftY * m1.b) + mapBlend * (fy + driftY * 1.5 * m2.b);
    bool right = corner.x > 0.5;
    float z = right ? keep * push * 2.0 * m1nr + mapBlend * push * 2.0 * m2knr
                    : keep * push * 2.0 * m1.r + mapBlend * push * 2.0 * m2kr;
    vec3 position = vec3((gridX + corner.x) * 0.020833334, (gridY + corner.y) * 0.009259259, z);

    gl_FrontColor = clamp(colour, 0.0, 1.0);
    gl_TexCoord[0] = vec4(corner, 0.0, 1.0);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(position, 1.0);
}
