#include "tools/capture/time_list.h"

#include <cstdlib>
#include <sstream>
#include <string>

bool parseTimeList(const char* text, std::vector<double>& times)
{
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        char* end = nullptr;
        double value = std::strtod(item.c_str(), &end);
        if (item.empty() || *end != '\0' || !(value >= 0.0))
            return false;
        times.push_back(value);
    }
    return !times.empty();
}
