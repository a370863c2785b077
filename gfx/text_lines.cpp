#include "gfx/text_lines.h"

bool isTextBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isBlankLine(const std::string& line)
{
    for (char c : line)
        if (!isTextBlank(c))
            return false;
    return true;
}

bool takeTextLine(const char* text, size_t size, size_t& offset, std::string& line)
{
    if (offset >= size)
        return false;
    size_t end = offset;
    while (end < size && text[end] != '\n')
        ++end;
    line.assign(text + offset, end - offset);
    offset = end < size ? end + 1 : end;
    return true;
}

bool scanInt32(const std::string& line, size_t& i, int32_t& value)
{
    size_t at = i;
    bool negative = false;
    if (at < line.size() && (line[at] == '+' || line[at] == '-')) {
        negative = line[at] == '-';
        ++at;
    }
    size_t digitsStart = at;
    int64_t magnitude = 0;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
        magnitude = magnitude * 10 + (line[at] - '0');
        // Stop before the sum can overflow: the value is refused anyway.
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1)
            return false;
        ++at;
    }
    if (at == digitsStart)
        return false;
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX || signedValue < INT32_MIN)
        return false;
    value = static_cast<int32_t>(signedValue);
    i = at;
    return true;
}

std::string quotedLine(const std::string& line)
{
    std::string shown = "\"";
    for (size_t i = 0; i < line.size() && i < QUOTED_LINE_CHARS; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        shown += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    if (line.size() > QUOTED_LINE_CHARS)
        shown += "...";
    return shown + "\"";
}
