#include "game/level_file.h"

#include "core/data_files.h"   // debugLog
#include "core/regular_file.h"
#include "game/boxes.h"
#include "game/enemies.h"
#include "game/game_state.h"  // paletteCount

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>

// The largest file either reader takes; one byte more tells a file that is too long.
static constexpr size_t MAX_LEVEL_FILE_BYTES = levelFileBytes(LEVEL_MAX_BOXES, LEVEL_MAX_ENEMIES);
// The palette's default entry, written when no palette file exists yet.
static constexpr float DEFAULT_PALETTE_BOX_SIZE = 50.0f;
static constexpr int DEFAULT_PALETTE_MESH = 1;

static BoxRecord boxRecordAt(int i)
{
    const BoxTable& t = boxTable;
    return {t.x[i],          t.y[i],          t.width[i],      t.height[i],    t.type[i],
            t.meshId[i],     t.liftStartX[i], t.liftStartY[i], t.liftRangeX[i], t.liftRangeY[i],
            t.reserved[i],   t.liftState[i],  t.liftSpeed[i],  t.liftFlag[i]};
}

static void storeBoxRecord(int i, const BoxRecord& b)
{
    BoxTable& t = boxTable;
    t.x[i] = b.x;
    t.y[i] = b.y;
    t.width[i] = b.width;
    t.height[i] = b.height;
    t.type[i] = b.type;
    t.meshId[i] = b.meshId;
    t.liftStartX[i] = b.liftStartX;
    t.liftStartY[i] = b.liftStartY;
    t.liftRangeX[i] = b.liftRangeX;
    t.liftRangeY[i] = b.liftRangeY;
    t.reserved[i] = b.reserved;
    t.liftState[i] = b.liftState;
    t.liftSpeed[i] = b.liftSpeed;
    t.liftFlag[i] = b.liftFlag;
}

static EnemyRecord enemyRecordAt(int i)
{
    const EnemyTable& t = enemyTable;
    EnemyRecord e;
    e.type = t.type[i];
    e.x = t.x[i];
    e.y = t.y[i];
    e.width = t.width[i];
    e.height = t.height[i];
    e.reserved1 = t.reserved1[i];
    e.reserved2 = t.reserved2[i];
    e.speed = t.speed[i];
    e.jumpT = t.jumpT[i];
    e.jumpT0 = t.jumpT0[i];
    e.jumpY0 = t.jumpY0[i];
    e.jumpV0 = t.jumpV0[i];
    e.airborne = t.airborne[i];
    e.inAir = t.inAir[i];
    e.jumping = t.jumping[i];
    e.boxUnder = t.boxUnder[i];
    e.direction = t.direction[i];
    e.health = t.health[i];
    e.hitTimer = t.hitTimer[i];
    e.knockbackVx = t.knockbackVx[i];
    e.maxHealth = t.maxHealth[i];
    e.jumpRequest = t.jumpRequest[i];
    e.reserved3 = t.reserved3[i];
    e.animPhase = t.animPhase[i];
    e.pathStartX = t.pathStartX[i];
    e.pathStartY = t.pathStartY[i];
    e.pathRangeX = t.pathRangeX[i];
    e.pathRangeY = t.pathRangeY[i];
    e.reserved4 = t.reserved4[i];
    e.pathState = t.pathState[i];
    e.pathSpeed = t.pathSpeed[i];
    const EnemyDebris& d = enemyDebris;
    for (size_t k = 0; k < STORED_DEBRIS_PER_ENEMY; ++k) {
        const size_t s = DEBRIS_PER_ENEMY * static_cast<size_t>(i) + k;
        const float values[DEBRIS_VALUES] = {d.life[s],      d.offsetX[s],   d.offsetY[s], d.size[s],
                                             d.velocityX[s], d.velocityY[s], d.growth[s]};
        std::copy(values, values + DEBRIS_VALUES, e.debris[k]);
    }
    return e;
}

static void storeEnemyRecord(int i, const EnemyRecord& e)
{
    EnemyTable& t = enemyTable;
    t.type[i] = e.type;
    t.x[i] = e.x;
    t.y[i] = e.y;
    t.width[i] = e.width;
    t.height[i] = e.height;
    t.reserved1[i] = e.reserved1;
    t.reserved2[i] = e.reserved2;
    t.speed[i] = e.speed;
    t.jumpT[i] = e.jumpT;
    t.jumpT0[i] = e.jumpT0;
    t.jumpY0[i] = e.jumpY0;
    t.jumpV0[i] = e.jumpV0;
    t.airborne[i] = e.airborne;
    t.inAir[i] = e.inAir;
    t.jumping[i] = e.jumping;
    t.boxUnder[i] = e.boxUnder;
    t.direction[i] = e.direction;
    t.health[i] = e.health;
    t.hitTimer[i] = e.hitTimer;
    t.knockbackVx[i] = e.knockbackVx;
    t.maxHealth[i] = e.maxHealth;
    t.jumpRequest[i] = e.jumpRequest;
    t.reserved3[i] = e.reserved3;
    t.animPhase[i] = e.animPhase;
    t.pathStartX[i] = e.pathStartX;
    t.pathStartY[i] = e.pathStartY;
    t.pathRangeX[i] = e.pathRangeX;
    t.pathRangeY[i] = e.pathRangeY;
    t.reserved4[i] = e.reserved4;
    t.pathState[i] = e.pathState;
    t.pathSpeed[i] = e.pathSpeed;
    EnemyDebris& d = enemyDebris;
    for (size_t k = 0; k < STORED_DEBRIS_PER_ENEMY; ++k) {
        const size_t s = DEBRIS_PER_ENEMY * static_cast<size_t>(i) + k;
        const float* v = e.debris[k];
        d.life[s] = v[0];
        d.offsetX[s] = v[1];
        d.offsetY[s] = v[2];
        d.size[s] = v[3];
        d.velocityX[s] = v[4];
        d.velocityY[s] = v[5];
        d.growth[s] = v[6];
    }
}

LevelImage captureLevel()
{
    LevelImage level;
    const int boxes = std::clamp(boxCount, 0, LEVEL_MAX_BOXES);
    const int enemies = std::clamp(enemyCount, 0, LEVEL_MAX_ENEMIES);
    for (int i = 1; i <= boxes; ++i)
        level.boxes.push_back(boxRecordAt(i));
    for (int i = 1; i <= enemies; ++i)
        level.enemies.push_back(enemyRecordAt(i));
    return level;
}

void commitLevel(const LevelImage& level)
{
    boxCount = static_cast<int>(std::min(level.boxes.size(), static_cast<size_t>(LEVEL_MAX_BOXES)));
    for (int i = 1; i <= boxCount; ++i)
        storeBoxRecord(i, level.boxes[static_cast<size_t>(i - 1)]);
    enemyCount = static_cast<int>(std::min(level.enemies.size(), static_cast<size_t>(LEVEL_MAX_ENEMIES)));
    for (int i = 1; i <= enemyCount; ++i)
        storeEnemyRecord(i, level.enemies[static_cast<size_t>(i - 1)]);
}

PaletteImage capturePalette()
{
    PaletteImage palette;
    const int last = PALETTE_FIRST_SLOT + std::clamp(paletteCount, 0, MAX_PALETTE_COUNT);
    for (int i = PALETTE_FIRST_SLOT; i <= last; ++i)
        palette.entries.push_back(boxRecordAt(i));
    return palette;
}

void commitPalette(const PaletteImage& palette)
{
    const size_t records = std::min(palette.entries.size(), static_cast<size_t>(MAX_PALETTE_COUNT) + 1);
    if (records == 0)
        return;
    paletteCount = static_cast<int>(records) - 1;
    for (size_t k = 0; k < records; ++k)
        storeBoxRecord(PALETTE_FIRST_SLOT + static_cast<int>(k), palette.entries[k]);
}

namespace {

// Where the plain names lie: the working directory, or the folder a tool's run asked for.
std::string levelFolder;

// `name` below the level folder (a name with a folder part, or an absolute one, as given).
std::string levelPath(const char* name)
{
    if (levelFolder.empty() || std::strchr(name, '/'))
        return name;
    return levelFolder + "/" + name;
}

// Edits of the level tables and of the palette slots, counted by the editor.
unsigned levelEditCount = 0;
unsigned paletteEditCount = 0;

// Files a reader refused (or found but could not read), by absolute path, with the edit count
// of their kind at the first refusal. Such a file is the user's only copy of something the
// program could not take in, so it is written over only after an edit made since.
std::map<std::string, unsigned> refusedFiles;

std::string fileKey(const char* path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string(path) : absolute.lexically_normal().string();
}

void noteRefused(const char* path, unsigned edits)
{
    refusedFiles.emplace(fileKey(path), edits);   // the first refusal counts
}

// Whether `path` may be written now; a refused file with edits since is first renamed to
// NAME.refused, so the user keeps what the program refused.
bool mayWriteOver(const char* path, unsigned edits)
{
    const auto found = refusedFiles.find(fileKey(path));
    if (found == refusedFiles.end())
        return true;
    if (edits == found->second) {
        std::fprintf(stderr, "%s was refused when read and nothing was edited since: left as it is\n", path);
        return false;
    }
    const std::string kept = std::string(path) + ".refused";
    std::error_code error;
    std::filesystem::rename(path, kept, error);
    if (error && std::filesystem::exists(std::filesystem::symlink_status(path))) {
        std::fprintf(stderr, "%s was refused when read and could not be kept as %s (%s): not saved\n", path,
                     kept.c_str(), error.message().c_str());
        return false;
    }
    if (!error)
        std::fprintf(stderr, "%s was refused when read: the original is kept as %s\n", path, kept.c_str());
    refusedFiles.erase(found);
    return true;
}

// Writes NAME.tmp, checks every write and the close, then renames it over NAME.
bool writeWhole(const char* path, const std::vector<uint8_t>& bytes)
{
    const std::string temp = std::string(path) + ".tmp";
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

}  // namespace

bool levelReadable(const char* path)
{
    std::string why;
    FILE* file = openRegularFile(path, why);
    if (!file) {
        std::fprintf(stderr, "level %s not read: %s\n", path, why.c_str());
        return false;
    }
    std::fclose(file);
    return true;
}

namespace {

enum class ReadResult { READ, MISSING, UNREADABLE };

// The whole file (at most one byte more than the largest level, enough to refuse it). A file
// that exists but cannot be read (a directory, a FIFO, no permission) gets its one line here.
ReadResult readWhole(const char* path, std::vector<uint8_t>& bytes)
{
    std::string why;
    bool missing = false;
    FILE* file = openRegularFile(path, why, &missing);
    if (!file) {
        if (missing)
            return ReadResult::MISSING;
        std::fprintf(stderr, "level %s not read: %s\n", path, why.c_str());
        return ReadResult::UNREADABLE;
    }
    // Its own size in the message: the read below stops one byte past the largest level.
    struct stat info;
    if (::fstat(fileno(file), &info) == 0 && static_cast<uint64_t>(info.st_size) > MAX_LEVEL_FILE_BYTES) {
        std::fclose(file);
        std::fprintf(stderr, "level %s refused: the file is %lld bytes, more than the largest level's %zu\n", path,
                     static_cast<long long>(info.st_size), MAX_LEVEL_FILE_BYTES);
        return ReadResult::UNREADABLE;
    }
    bytes.resize(MAX_LEVEL_FILE_BYTES + 1);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes.resize(got);
    if (failed) {
        std::fprintf(stderr, "level %s not read: a read failed\n", path);
        return ReadResult::UNREADABLE;
    }
    return ReadResult::READ;
}

}  // namespace

void noteLevelEdited()
{
    ++levelEditCount;
}

void notePaletteEdited()
{
    ++paletteEditCount;
}

bool writeLevel(const char* name)
{
    const std::string where = levelPath(name);
    const char* path = where.c_str();
    if (!mayWriteOver(path, levelEditCount))
        return false;
    if (!writeWhole(path, encodeLevel(captureLevel()))) {
        debugLog("error opening level %s for write\n", path);
        std::fprintf(stderr, "level %s not saved\n", path);
        return false;
    }
    debugLog("level saved\n");
    return true;
}

bool readLevel(const char* name)
{
    const std::string where = levelPath(name);
    const char* path = where.c_str();
    std::vector<uint8_t> bytes;
    const ReadResult result = readWhole(path, bytes);
    if (result != ReadResult::READ) {
        debugLog("error opening level %s for read\n", path);
        if (result == ReadResult::UNREADABLE)
            noteRefused(path, levelEditCount);
        return false;
    }
    LevelImage level;
    std::string error;
    if (!decodeLevel(bytes.data(), bytes.size(), level, error)) {
        std::fprintf(stderr, "level %s refused: %s\n", path, error.c_str());
        noteRefused(path, levelEditCount);
        return false;
    }
    commitLevel(level);
    std::printf("\n%d enemiescount read\n", enemyCount);
    resetBoundaryBoxAndLifts();
    debugLog("level loaded\n");
    return true;
}

bool writePalette()
{
    const std::string where = levelPath(PALETTE_FILE_NAME);
    const char* path = where.c_str();
    if (!mayWriteOver(path, paletteEditCount))
        return false;
    if (!writeWhole(path, encodePalette(capturePalette()))) {
        debugLog("error opening level %s for write\n", "palette");
        std::fprintf(stderr, "palette %s not saved\n", path);
        return false;
    }
    debugLog("palette saved\n");
    return true;
}

bool readPalette()
{
    const std::string where = levelPath(PALETTE_FILE_NAME);
    const char* path = where.c_str();
    std::vector<uint8_t> bytes;
    const ReadResult result = readWhole(path, bytes);
    if (result == ReadResult::UNREADABLE) {
        noteRefused(path, paletteEditCount);
        return false;
    }
    if (result == ReadResult::MISSING) {
        debugLog("error opening level %s for read\n", "palette");
        paletteCount = 1;
        BoxTable& t = boxTable;
        t.x[PALETTE_FIRST_SLOT] = 0.0f;
        t.y[PALETTE_FIRST_SLOT] = 0.0f;
        t.width[PALETTE_FIRST_SLOT] = DEFAULT_PALETTE_BOX_SIZE;
        t.height[PALETTE_FIRST_SLOT] = DEFAULT_PALETTE_BOX_SIZE;
        t.type[PALETTE_FIRST_SLOT] = BOX_STANDARD;
        t.meshId[PALETTE_FIRST_SLOT] = DEFAULT_PALETTE_MESH;
        writePalette();
        return false;
    }
    PaletteImage palette;
    std::string error;
    if (!decodePalette(bytes.data(), bytes.size(), palette, error)) {
        std::fprintf(stderr, "palette %s refused: %s\n", path, error.c_str());
        noteRefused(path, paletteEditCount);
        return false;
    }
    commitPalette(palette);
    debugLog("palette loaded\n");
    return true;
}

bool useLevelFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    for (const char* name : {LEVEL_FILE_NAME, PALETTE_FILE_NAME}) {
        const std::string from = levelPath(name);
        const std::string to = folder + "/" + name;
        std::error_code error;
        if (!fs::exists(from, error) || fs::equivalent(from, to, error))
            continue;
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
        if (error) {
            std::fprintf(stderr, "level %s not copied to %s: %s\n", from.c_str(), to.c_str(),
                         error.message().c_str());
            return false;
        }
    }
    levelFolder = folder;
    return true;
}
