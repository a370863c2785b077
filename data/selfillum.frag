#version 330 compatibility
// Self-illuminated model parts: no lights, the part glows in the current colour ("glColor")
// times its set's light ramp ("colorMap", u = how squarely the face meets the eye: 0 edge-on,
// 1 facing). The face is found from the depth buffer's slope, so the program works with the
// plain screen-pass vertex shader, which passes no normals: the fragment goes back through the
// projection (camera included) to its position, and the derivatives of that position span the
// face. Screen targets and the window are 1920 x 1080.

uniform sampler2D colorMap;
uniform vec4 glColor;

const vec2 FRAME_SIZE = vec2(1920.0, 1080.0);

void main()
{
    vec4 ndc = vec4(gl_FragCoord.xy / FRAME_SIZE * 2.0 - 1.0, gl_FragCoord.z * 2.0 - 1.0, 1.0);
    vec4 placed = gl_ProjectionMatrixInverse * ndc;
    vec3 position = placed.xyz / placed.w;
    vec3 face = cross(dFdx(position), dFdy(position));
    // The eye is the point the projection sends to w = 0 at the centre of the view.
    vec4 eye = gl_ProjectionMatrixInverse * vec4(0.0, 0.0, 1.0, 0.0);
    vec3 toEye = abs(eye.w) > 1e-6 ? eye.xyz / eye.w - position : -eye.xyz;
    float facing = 1.0;
    if (dot(face, face) > 1e-20 && dot(toEye, toEye) > 1e-20)
        facing = abs(dot(normalize(face), normalize(toEye)));
    vec4 ramp = texture(colorMap, vec2(clamp(facing, 0.0, 1.0), 0.5));
    gl_FragColor = vec4(ramp.rgb * glColor.rgb, glColor.a);
}
