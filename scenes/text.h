// The bitmap font and its texts.
#pragma once

void initFont();
