// The end of a tool's run: a run in which a shader program failed to build (at start-up or
// later, as the game builds its own on first entry) or the driver reported a GL error did not
// do what it was asked, however far it got.
#pragma once

// 0 for a clean run; otherwise one line on stderr ("<tool>: N program build failures, the
// first: ..." or "<tool>: N GL errors reported, the first: ...") and the status to end with.
int toolRunStatus(const char* tool);
