#version 330 compatibility
// Light-view depth pass of the static background props: positions through the light's
// view-projection "depthMVP", no skinning. Pairs with "shmappass1.frag".

layout(location = 0) in vec3 vertexPosition;

uniform mat4 depthMVP;

void main()
{
    gl_Position = depthMVP * vec4(vertexPosition, 1.0);
}
