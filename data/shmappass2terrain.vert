#version 450 compatibility
// The flyover landscape, lit and shadowed. The landscape's vertex normals are stored in its
// grid frame (x across the columns, y up, z against the rows), while the scene turns the
// landscape so that columns run towards world -x and rows towards world +z: the world normal
// is therefore (-x, y, -z) of the stored one. Tangents follow the modelview like positions.

layout(location = 0) in vec3 vertexPosition;
layout(location = 1) in vec3 vertexNormal;
layout(location = 2) in vec2 textureCoord;
layout(location = 3) in vec3 vertexTangent;
layout(location = 4) in float vertexTangentHandedness;

uniform mat4 depthBiasMVP;  // light view-projection times the modelview, in texture space

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out float tangentHandedness;
out vec2 uv;
out vec4 shadowCoord;
out vec3 eyePosition;
out float viewDepth;

void main()
{
    vec4 world = gl_ModelViewMatrix * vec4(vertexPosition, 1.0);
    worldPosition = world.xyz / world.w;
    worldNormal = vec3(-vertexNormal.x, vertexNormal.y, -vertexNormal.z);
    worldTangent = gl_NormalMatrix * vertexTangent;
    tangentHandedness = vertexTangentHandedness;
    uv = textureCoord;
    shadowCoord = depthBiasMVP * vec4(vertexPosition, 1.0);

    vec4 eye = gl_ProjectionMatrixInverse * vec4(0.0, 0.0, 1.0, 0.0);
    eyePosition = abs(eye.w) > 1e-6 ? eye.xyz / eye.w : worldPosition - normalize(eye.xyz) * 1e4;

    gl_Position = gl_ModelViewProjectionMatrix * vec4(vertexPosition, 1.0);
    viewDepth = gl_Position.w;
}
