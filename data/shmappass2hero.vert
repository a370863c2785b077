#version 330 compatibility
// The hero's lit, shadowed pass (the blended skinned draw): as the model pass, world-space
// lighting (the camera sits in the projection, so the modelview takes a vertex to world space),
// the position in shadow-map space through "depthBiasMVP", skinned when "hasAnim" is set; the
// fragment side clips the hero above "ycoofade". The bone
// matrices arrive row-major without transpose, so v * M applies the engine's matrix M.

layout(location = 0) in vec3 vertexPosition;
layout(location = 1) in vec3 vertexNormal;
layout(location = 2) in vec2 textureCoord;
layout(location = 3) in vec3 vertexTangent;
layout(location = 4) in float vertexTangentHandedness;
layout(location = 5) in vec4 vertexBones;
layout(location = 6) in vec4 vertexWeights;

uniform int hasAnim;
uniform mat4 boneRPos[64];  // translation of the pose relative to the bind position
uniform mat4 bonePos[64];   // the bind position of the bone's joint
uniform mat4 boneRot[64];   // rotation of the pose relative to the bind pose
uniform mat4 depthBiasMVP;  // light view-projection times the modelview, in texture space

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out float tangentHandedness;
out vec2 uv;
out vec4 shadowCoord;
out vec3 eyePosition;

vec3 translationOf(mat4 m)
{
    return vec3(m[0][3], m[1][3], m[2][3]);
}

void main()
{
    vec3 position = vertexPosition;
    vec3 normal = vertexNormal;
    vec3 tangent = vertexTangent;
    float total = vertexWeights.x + vertexWeights.y + vertexWeights.z + vertexWeights.w;
    if (hasAnim != 0 && total > 0.0) {
        position = vec3(0.0);
        normal = vec3(0.0);
        tangent = vec3(0.0);
        for (int k = 0; k < 4; ++k) {
            float weight = vertexWeights[k];
            if (weight <= 0.0)
                continue;
            int bone = clamp(int(vertexBones[k] + 0.5), 0, 63);
            vec3 joint = translationOf(bonePos[bone]);
            vec3 rotated = (vec4(vertexPosition - joint, 1.0) * boneRot[bone]).xyz;
            position += weight * (rotated + joint + translationOf(boneRPos[bone]));
            normal += weight * (vec4(vertexNormal, 0.0) * boneRot[bone]).xyz;
            tangent += weight * (vec4(vertexTangent, 0.0) * boneRot[bone]).xyz;
        }
        position /= total;
    }

    vec4 world = gl_ModelViewMatrix * vec4(position, 1.0);
    worldPosition = world.xyz / world.w;
    worldNormal = gl_NormalMatrix * normal;
    worldTangent = gl_NormalMatrix * tangent;
    tangentHandedness = vertexTangentHandedness;
    uv = textureCoord;
    shadowCoord = depthBiasMVP * vec4(position, 1.0);

    // The eye is the point the projection sends to w = 0 at the centre of the view; an
    // orthographic projection has it at infinity, behind the view direction.
    vec4 eye = gl_ProjectionMatrixInverse * vec4(0.0, 0.0, 1.0, 0.0);
    eyePosition = abs(eye.w) > 1e-6 ? eye.xyz / eye.w : worldPosition - normalize(eye.xyz) * 1e4;

    gl_Position = gl_ModelViewProjectionMatrix * vec4(position, 1.0);
}
