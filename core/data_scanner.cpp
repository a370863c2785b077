#include "core/data_scanner.h"

#include "core/data_files.h"  // debugLog

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

DataScanTable dataScan = {};

// Extensions of files that are never packed: the soundtrack, sources, tools and shots.
static const char* const LEFT_OUT_EXTENSIONS[] = {".mp3", ".blend", ".txt", ".exe", ".dll", ".gmax", ".bmp", "."};

const char* fileExtension(const char* name)
{
    if (!name || name[0] == '\0')
        return "";
    const char* dot = std::strrchr(name + 1, '.');
    return dot ? dot : "";
}

static bool leftOut(const char* name)
{
    if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || std::strcmp(name, " ") == 0)
        return true;
    const char* extension = fileExtension(name);
    if (extension[0] == '\0')
        return true;
    for (const char* e : LEFT_OUT_EXTENSIONS)
        if (std::strcmp(extension, e) == 0)
            return true;
    return false;
}

static void clearSlot(int slot)
{
    if (slot < 0 || slot >= DATA_SCAN_CAPACITY)
        return;
    dataScan.names[slot][0] = '\0';
    dataScan.sizes[slot] = 0;
}

static FILE* openRegularFile(const char* name)
{
    FILE* file = std::fopen(name, "rb");
    struct stat info;
    // A directory opens for reading here but is not a file.
    if (file && (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

void recordDataFile(const char* name)
{
    const int slot = dataScan.count;
    clearSlot(slot);
    FILE* file = openRegularFile(name);
    if (!file) {
        std::fprintf(stderr, "packer file error\n");
        std::printf("file:%s\n", name);
        return;
    }
    int64_t size = 0;
    if (fseeko(file, 0, SEEK_END) == 0)
        size = static_cast<int64_t>(ftello(file));
    std::rewind(file);
    debugLog("-%s-\n", name);
    if (leftOut(name)) {
        --dataScan.count;
    } else if (slot >= 0 && slot < DATA_SCAN_CAPACITY) {
        std::snprintf(dataScan.names[slot], DATA_SCAN_NAME_BYTES, "%s", name);
        dataScan.sizes[slot] = size < 0 ? 0 : size;
    }
    std::fclose(file);
}

void scanDataDirectory()
{
    std::memset(&dataScan, 0, sizeof dataScan);
    if (DIR* directory = opendir("./")) {
        while (const dirent* entry = readdir(directory)) {
            // Listed in no particular order here: the markers go by name.
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            if (dataScan.count >= DATA_SCAN_CAPACITY) {
                std::fprintf(stderr, "packer: more than %d files, the rest are not scanned\n", DATA_SCAN_CAPACITY);
                break;
            }
            recordDataFile(entry->d_name);
            ++dataScan.count;
        }
        closedir(directory);
    } else {
        std::perror("Couldn't open the directory");
    }
    int64_t total = 0;
    for (int i = 0; i < dataScan.count; ++i) {
        debugLog("file %s size %lld\n", dataScan.names[i], static_cast<long long>(dataScan.sizes[i]));
        total += dataScan.sizes[i];
    }
    dataScan.totalBytes = total;
    debugLog("totalsize %lld\n", static_cast<long long>(total));
}
