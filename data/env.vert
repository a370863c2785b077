#version 330 compatibility
// Chrome for the legacy environment state: world-space position, normal and tangent frame for
// the fragment side, and the model's tint (the current colour). The camera sits in the
// projection matrix, so the modelview takes a vertex to world space. Skinned when "hasAnim"
// is set: the bone matrices arrive row-major without transpose (v * M applies the engine's
// matrix M); "boneScl" holds each bone's scale minus its bind scale on the diagonal, so an
// unchanged bone scales by 1.

layout(location = 0) in vec3 vertexPosition;
layout(location = 1) in vec3 vertexNormal;
layout(location = 2) in vec2 textureCoord;
layout(location = 3) in vec3 vertexTangent;
layout(location = 4) in float vertexTangentHandedness;
layout(location = 5) in vec4 vertexBones;
layout(location = 6) in vec4 vertexWeights;

uniform int hasAnim;
uniform mat4 boneRPos[64];
uniform mat4 bonePos[64];
uniform mat4 boneRot[64];
uniform mat4 boneScl[64];

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out float tangentHandedness;
out vec2 uv;
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
    if (hasAnim != 0) {
        float total = vertexWeights.x + vertexWeights.y + vertexWeights.z + vertexWeights.w;
        if (total > 0.0) {
            vec3 skinnedPosition = vec3(0.0);
            vec3 skinnedNormal = vec3(0.0);
            vec3 skinnedTangent = vec3(0.0);
            for (int k = 0; k < 4; ++k) {
                float weight = vertexWeights[k];
                if (weight <= 0.0)
                    continue;
                int bone = clamp(int(vertexBones[k] + 0.5), 0, 63);
                vec3 joint = translationOf(bonePos[bone]);
                vec3 grow = vec3(1.0) + vec3(boneScl[bone][0][0], boneScl[bone][1][1], boneScl[bone][2][2]);
                vec3 rotated = (vec4((vertexPosition - joint) * grow, 1.0) * boneRot[bone]).xyz;
                skinnedPosition += weight * (rotated + joint + translationOf(boneRPos[bone]));
                skinnedNormal += weight * (vec4(vertexNormal, 0.0) * boneRot[bone]).xyz;
                skinnedTangent += weight * (vec4(vertexTangent, 0.0) * boneRot[bone]).xyz;
            }
            position = skinnedPosition / total;
            normal = skinnedNormal;
            tangent = skinnedTangent;
        }
    }

    vec4 world = gl_ModelViewMatrix * vec4(position, 1.0);
    worldPosition = world.xyz / world.w;
    worldNormal = gl_NormalMatrix * normal;
    worldTangent = gl_NormalMatrix * tangent;
    tangentHandedness = vertexTangentHandedness;
    uv = textureCoord;

    // The eye is the point the projection sends to w = 0 at the centre of the view.
    vec4 eye = gl_ProjectionMatrixInverse * vec4(0.0, 0.0, 1.0, 0.0);
    eyePosition = abs(eye.w) > 1e-6 ? eye.xyz / eye.w : worldPosition - normalize(eye.xyz) * 1e4;

    gl_FrontColor = gl_Color;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(position, 1.0);
}
