// A debug view over two scenes' models: the tunnel sphere and the flyover dust drawn into the
// shadow target.
#pragma once

// The tunnel sphere and the flyover dust into the shadow target, then the first dust texture as
// a 500 x 500 quad; leaves the shadow framebuffer bound.
void debugDrawDepthView();
