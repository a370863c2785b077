#version 330 compatibility
// Depth-of-field depth pass: writes how near the surface is (1 at the near plane, falling
// towards 0 at the far plane) into every channel; uncleared black means nothing drawn.
// Reads no vertex outputs, so it pairs with any model vertex shader.

void main()
{
    float nearness = 1.0 - gl_FragCoord.z;
    gl_FragColor = vec4(vec3(sqrt(clamp(nearness, 0.0, 1.0))), 1.0);
}
