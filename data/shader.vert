#version 330 compatibility
// The default lit program of immediate-mode meshes: vertex, normal and texture coordinate
// from the fixed-function inputs, the tangent from "vTangent". Lighting happens in the space
// the modelview leads to, where the fixed-function light positions were given.

layout(location = 3) in vec3 vTangent;

out vec3 viewPosition;
out vec3 viewNormal;
out vec3 viewTangent;
out vec2 uv;

void main()
{
    vec4 position = gl_ModelViewMatrix * gl_Vertex;
    viewPosition = position.xyz / position.w;
    viewNormal = gl_NormalMatrix * gl_Normal;
    viewTangent = gl_NormalMatrix * vTangent;
    uv = gl_MultiTexCoord0.xy;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
