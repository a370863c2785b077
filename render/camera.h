// A look-at camera: eye, centre looked at, and an up vector handed to gluLookAt as it is.
#pragma once

struct Camera {
    float eye[3];
    float centre[3];
    float up[3];

    void set(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float upX,
             float upY, float upZ);
    void move(float speed);
    void strafe(float speed);
    void moveVertical(float speed);
    void rotateY(float angle);
    void mouseLook(int width, int height);
    // Multiplies the current GL matrix by this camera's gluLookAt view.
    void applyLookAt() const;
};

extern Camera mainCamera;

// The frame's 35-degree perspective with mainCamera's look-at in the projection; the modelview
// is left current.
void loadFrameProjection();
// The view every frame starts from (the jelly's atlas pass starts from it too): the frame
// projection, colour, depth and stencil cleared, and the modelview at the identity moved 20
// units back.
void loadFrameView();
