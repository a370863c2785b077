// One game frame's picture from the scene to the screen: the 3D scene, the bloom pass, the 2D
// effect layer, and the final pass, plain or through the nuke shockwave.
#pragma once

void renderGameFrame();
