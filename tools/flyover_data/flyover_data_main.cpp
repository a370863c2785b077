// flyover-data <run dir>: writes the flyover scene's pictures and models into <run dir>/data/.
#include "tools/common/generator_main.h"
#include "tools/flyover_data/flyover_data.h"

#include "tools/common/tga_write.h"

#include <algorithm>
#include <cmath>
#include <string>

Picture makePicture(int width, int height)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    return picture;
}

static uint8_t toByte(float v)
{
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

void setPixel(Picture& picture, int x, int y, float r, float g, float b, float a)
{
    uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x) * 4];
    p[0] = toByte(r);
    p[1] = toByte(g);
    p[2] = toByte(b);
    p[3] = toByte(a);
}

bool writePicture(const std::string& dataDir, const char* name, const Picture& picture, int bitsPerPixel,
                  std::string& error)
{
    TgaSource source;
    source.width = picture.width;
    source.height = picture.height;
    source.rgba = picture.rgba.data();
    if (!writeTgaFile(dataDir + "/" + name, source, bitsPerPixel, TgaEncoding::Uncompressed, error)) {
        error = std::string(name) + ": " + error;
        return false;
    }
    return true;
}

bool writeMesh(const std::string& dataDir, const char* name, const Model3dmMesh& mesh, std::string& error)
{
    if (!write3dm(dataDir + "/" + name, mesh, nullptr, error)) {
        error = std::string(name) + ": " + error;
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    return runGenerator("flyover-data", argc, argv, [](const std::string& dataDir, std::string& error) {
        return writeTerrainData(dataDir, error) && writeSkyData(dataDir, error) &&
               writeFlyoverModels(dataDir, error) && writeFlyoverPictures(dataDir, error);
    });
}
