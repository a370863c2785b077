#include "game/enemy_draw.h"

#include "core/clock.h"          // tween, clockNowMs
#include "core/data_files.h"     // debugLog
#include "core/frame_values.h"   // sceneStartMs
#include "game/enemies.h"
#include "game/game_camera.h"    // isEnemyNearView
#include "platform/crt_random.h"
#include "render/model_list_draw.h"   // advanceFadeTimer

float walkFrame = 0.0f;
float spinAngle = 0.0f;

static constexpr int ORB_MODEL_COUNT = 6;

int pickOrbModel(int index)
{
    crtSrand(static_cast<unsigned>(index));
    return crtRand() % ORB_MODEL_COUNT + 1;
}

void drawEnemiesShadowPass()
{
    float restartProbe = 0.0f;
    tween(sceneStartMs, 1.0, 110.0, 1, 1.6f, &walkFrame);
    tween(sceneStartMs, 1.0, 140.0, 1, 1.6f, &restartProbe);
    tween(sceneStartMs, 0.0, 360.0, 1, 1.6f, &spinAngle);
    if (walkFrame < 0.0f || restartProbe < 0.0f || spinAngle < 0.0f) {
        sceneStartMs = clockNowMs();
        debugLog("timer restarted\n");
    }
    // The models' depth draws come with the enemy models.
}

void drawEnemiesLitPass()
{
    const int last = enemyCount < ENEMY_CAPACITY ? enemyCount : ENEMY_CAPACITY - 1;
    for (int i = 0; i <= last; ++i) {
        if (!(enemyTable.health[i] > 0.0f) || !isEnemyNearView(i))
            continue;
        if (enemyTable.type[i] != ENEMY_ORB)
            continue;
        pickOrbModel(i);
        // A collected orb fades out: its health is the fade clock.
        if (enemyTable.health[i] >= ORB_COLLECTED_HEALTH)
            advanceFadeTimer(enemyTable.health[i]);
    }
}
