#version 330 compatibility
// Additive "volumetric" glow: surfaces shine where the view grazes them, like a lit haze
// around the shape. Skinned like the legacy program when "hasAnim" is set; the bone matrices
// arrive row-major without transpose, so v * M applies the engine's matrix M.

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

out vec3 worldNormal;
out vec2 uv;

vec3 translationOf(mat4 m)
{
    return vec3(m[0][3], m[1][3], m[2][3]);
}

void main()
{
    vec3 position = vertexPosition;
    vec3 normal = vertexNormal;
    if (hasAnim != 0) {
        float total = vertexWeights.x + vertexWeights.y + vertexWeights.z + vertexWeights.w;
        if (total > 0.0) {
            vec3 skinnedPosition = vec3(0.0);
            vec3 skinnedNormal = vec3(0.0);
            for (int k = 0; k < 4; ++k) {
                float weight = vertexWeights[k];
                if (weight <= 0.0)
                    continue;
                int bone = clamp(int(vertexBones[k] + 0.5), 0, 63);
                vec3 joint = translationOf(bonePos[bone]);
                vec3 rotated = (vec4(vertexPosition - joint, 1.0) * boneRot[bone]).xyz;
                skinnedPosition += weight * (rotated + joint + translationOf(boneRPos[bone]));
                skinnedNormal += weight * (vec4(vertexNormal, 0.0) * boneRot[bone]).xyz;
            }
            position = skinnedPosition / total;
            normal = skinnedNormal;
        }
    }
    worldNormal = gl_NormalMatrix * normal;
    uv = textureCoord;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(position, 1.0);
}
