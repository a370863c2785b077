// The text console overlay, drawn only while shown.
#pragma once

void drawConsole();
