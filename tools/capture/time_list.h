// The capture modes' "--at S1,S2,..." lists.
#pragma once

#include <vector>

// Appends the comma-separated times (seconds, none negative) of `text`; false when an item is
// empty or not a number, or the list is empty.
bool parseTimeList(const char* text, std::vector<double>& times);
