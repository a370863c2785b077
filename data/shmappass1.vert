#version 330 compatibility
// Light-view depth pass of a model: positions (skinned when "hasAnim" is set) through the
// light's view-projection "depthMVP". The bone matrices arrive row-major without transpose,
// so v * M applies the engine's matrix M.

layout(location = 0) in vec3 vertexPosition;
layout(location = 5) in vec4 vertexBones;
layout(location = 6) in vec4 vertexWeights;

uniform int hasAnim;
uniform mat4 boneRPos[64];  // translation of the pose relative to the bind position
uniform mat4 bonePos[64];   // the bind position of the bone's joint
uniform mat4 boneRot[64];   // rotation of the pose relative to the bind pose
uniform mat4 depthMVP;

vec3 translationOf(mat4 m)
{
    return vec3(m[0][3], m[1][3], m[2][3]);
}

vec3 skinnedPosition()
{
    float total = vertexWeights.x + vertexWeights.y + vertexWeights.z + vertexWeights.w;
    if (hasAnim == 0 || total <= 0.0)
        return vertexPosition;
    vec3 sum = vec3(0.0);
    for (int k = 0; k < 4; ++k) {
        float weight = vertexWeights[k];
        if (weight <= 0.0)
            continue;
        int bone = clamp(int(vertexBones[k] + 0.5), 0, 63);
        vec3 joint = translationOf(bonePos[bone]);
        vec3 rotated = (vec4(vertexPosition - joint, 1.0) * boneRot[bone]).xyz;
        sum += weight * (rotated + joint + translationOf(boneRPos[bone]));
    }
    return sum / total;
}

void main()
{
    gl_Position = depthMVP * vec4(skinnedPosition(), 1.0);
}
