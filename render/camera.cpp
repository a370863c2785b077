#include "render/camera.h"

#include "core/screen_frame.h"  // FRAME_ASPECT, FRAME_NEAR_PLANE
#include "platform/gl_api.h"  // gluLookAt

#include <SDL.h>
#include <cmath>

Camera mainCamera = {};

void Camera::set(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float upX,
                 float upY, float upZ)
{
    eye[0] = eyeX;
    eye[1] = eyeY;
    eye[2] = eyeZ;
    centre[0] = centreX;
    centre[1] = centreY;
    centre[2] = centreZ;
    up[0] = upX;
    up[1] = upY;
    up[2] = upZ;
}

void Camera::applyLookAt() const
{
    gluLookAt(eye[0], eye[1], eye[2], centre[0], centre[1], centre[2], up[0], up[1], up[2]);
}

void Camera::move(float speed)
{
    for (int i = 0; i < 3; ++i) {
        float d = (centre[i] - eye[i]) * speed;
        eye[i] += d;
        centre[i] += d;
    }
}

void Camera::strafe(float speed)
{
    float dx = centre[0] - eye[0];
    float dz = centre[2] - eye[2];
    eye[0] += -dz * speed;
    eye[2] += dx * speed;
    centre[0] += -dz * speed;
    centre[2] += dx * speed;
}

void Camera::moveVertical(float speed)
{
    float dy = centre[1] - eye[1];
    float dz = centre[2] - eye[2];
    eye[1] += -dz * speed;
    eye[2] += dy * speed;
    centre[1] += -dz * speed;
    centre[2] += dy * speed;
}

void Camera::rotateY(float angle)
{
    float dx = centre[0] - eye[0];
    float dz = centre[2] - eye[2];
    double c = std::cos(static_cast<double>(angle));
    double s = std::sin(static_cast<double>(angle));
    centre[0] = static_cast<float>(eye[0] + c * dx - s * dz);
    centre[2] = static_cast<float>(eye[2] + s * dx + c * dz);
}

void Camera::mouseLook(int width, int height)
{
    int midX = width >> 1;
    int midY = height >> 1;
    SDL_ShowCursor(0);
    int mouseX = 0;
    int mouseY = 0;
    SDL_GetMouseState(&mouseX, &mouseY);
    if (mouseX == midX && mouseY == midY)
        return;
    SDL_Window* window = SDL_GetMouseFocus();
    if (window)
        SDL_WarpMouseInWindow(window, midX, midY);
    centre[1] += 2.0f * static_cast<float>(midY - mouseY) / 1000.0f;
    if (centre[1] > eye[1] + 8.0f)
        centre[1] = eye[1] + 8.0f;
    if (centre[1] < eye[1] - 8.0f)
        centre[1] = eye[1] - 8.0f;
    rotateY(static_cast<float>(mouseX - midX) / 1000.0f);
}

void loadFrameProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 500.0);
    mainCamera.applyLookAt();
    glMatrixMode(GL_MODELVIEW);
}

void loadFrameView()
{
    loadFrameProjection();
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -20.0f);
}
