// Integer line walks that turn a slope's diagonal into a surface: the walk from (x0, y0) toward
// (x1, y1) in whole units, stopping when a guard on the whole parts fails. Every walk ends after
// at most max(dx, dy) + 1 steps; a line with a non-finite coordinate does not walk and gives its
// start value.
#pragma once

// y of the diagonal at column targetX (walks only to the right; y0 when x1 <= x0).
float traceSlopeLine(float x0, float y0, float x1, float y1, float targetX);
// x at which a rising / falling diagonal reaches targetY.
float xAtHeightRising(float x0, float y0, float x1, float y1, float targetY);
float xAtHeightFalling(float x0, float y0, float x1, float y1, float targetY);
