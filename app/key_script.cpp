#include "app/key_script.h"

#include "core/regular_file.h"

#include <SDL.h>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace {

struct NamedScancode {
    const char* name;
    int scancode;
};

// The names of SDL's scancode constants without their prefix, for the keys SDL names otherwise
// ("Right Ctrl", "Return"); letters, digits and F-keys go through SDL's own names.
const NamedScancode SCRIPT_NAMES[] = {
    {"RETURN", SDL_SCANCODE_RETURN},     {"ESCAPE", SDL_SCANCODE_ESCAPE}, {"BACKSPACE", SDL_SCANCODE_BACKSPACE},
    {"TAB", SDL_SCANCODE_TAB},           {"SPACE", SDL_SCANCODE_SPACE},   {"RIGHT", SDL_SCANCODE_RIGHT},
    {"LEFT", SDL_SCANCODE_LEFT},         {"DOWN", SDL_SCANCODE_DOWN},     {"UP", SDL_SCANCODE_UP},
    {"LCTRL", SDL_SCANCODE_LCTRL},       {"LSHIFT", SDL_SCANCODE_LSHIFT}, {"LALT", SDL_SCANCODE_LALT},
    {"RCTRL", SDL_SCANCODE_RCTRL},       {"RSHIFT", SDL_SCANCODE_RSHIFT}, {"RALT", SDL_SCANCODE_RALT},
    {"DELETE", SDL_SCANCODE_DELETE},     {"INSERT", SDL_SCANCODE_INSERT}, {"HOME", SDL_SCANCODE_HOME},
    {"END", SDL_SCANCODE_END},           {"PAGEUP", SDL_SCANCODE_PAGEUP}, {"PAGEDOWN", SDL_SCANCODE_PAGEDOWN},
    {"MINUS", SDL_SCANCODE_MINUS},       {"EQUALS", SDL_SCANCODE_EQUALS}, {"PERIOD", SDL_SCANCODE_PERIOD},
    {"COMMA", SDL_SCANCODE_COMMA},
};

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A script line as it may be printed: bytes outside printable ASCII as \xHH, so a binary file
// given as the script cannot write control sequences to the terminal.
std::string escaped(const std::string& text)
{
    static const char HEX[] = "0123456789abcdef";
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            shown += "\\x";
            shown += HEX[c >> 4];
            shown += HEX[c & 15];
        }
    }
    return shown;
}

std::string trimmed(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

}  // namespace

int scancodeFromScriptName(const std::string& name)
{
    std::string key = upper(name);
    for (const NamedScancode& entry : SCRIPT_NAMES)
        if (key == entry.name)
            return entry.scancode;
    if (key.empty())
        return -1;
    SDL_Scancode code = SDL_GetScancodeFromName(key.c_str());
    if (code == SDL_SCANCODE_UNKNOWN || code >= KEY_SCRIPT_ARRAY_SIZE)
        return -1;
    return static_cast<int>(code);
}

bool parseKeyScript(const std::string& text, std::vector<KeyEvent>& events, std::string& error)
{
    std::vector<KeyEvent> parsed;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::string content = trimmed(line.substr(0, line.find('#')));
        if (content.empty())
            continue;
        std::istringstream fields(content);
        std::string frameText, keyText, extra;
        fields >> frameText >> keyText;
        char* end = nullptr;
        long frame = std::strtol(frameText.c_str(), &end, 10);
        bool frameOk = !frameText.empty() && *end == '\0' && frame >= 1 && frame <= INT_MAX;
        bool signOk = keyText.size() > 1 && (keyText[0] == '+' || keyText[0] == '-');
        const std::string lineName = "key script line " + std::to_string(lineNumber);
        if (!frameOk || !signOk || (fields >> extra)) {
            error = lineName + ": expected \"<frame> +KEY\" or \"<frame> -KEY\", got \"" + escaped(content) + "\"";
            return false;
        }
        // A well-formed line with a misspelt key says which key, not that the line is malformed.
        int scancode = scancodeFromScriptName(keyText.substr(1));
        if (scancode < 0) {
            error = lineName + ": unknown key \"" + escaped(keyText.substr(1)) + "\" (SDL scancode names such as RIGHT, " +
                    "SPACE, F1, RCTRL)";
            return false;
        }
        parsed.push_back(KeyEvent{static_cast<int>(frame), scancode, keyText[0] == '+'});
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.frame < b.frame; });
    events = std::move(parsed);
    return true;
}

bool readKeyScript(const std::string& path, std::vector<KeyEvent>& events, std::string& error)
{
    std::string text;
    std::string why;
    if (!readRegularFile(path.c_str(), text, why)) {
        error = "cannot open key script " + path + ": " + why;
        return false;
    }
    if (parseKeyScript(text, events, error))
        return true;
    error = path + ": " + error;
    return false;
}

void applyKeyEvents(const std::vector<KeyEvent>& events, int frame, unsigned char* keys)
{
    auto first = std::lower_bound(events.begin(), events.end(), frame,
                                  [](const KeyEvent& e, int f) { return e.frame < f; });
    for (auto it = first; it != events.end() && it->frame == frame; ++it)
        keys[it->scancode] = it->down ? 1 : 0;
}
