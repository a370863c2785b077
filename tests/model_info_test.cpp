#include "program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char* const BOX_OBJ = "mtllib box.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n"
                            "g lid\nusemtl red\nf 1/1/1 2/2/1 3/1/1 4/2/1\ng side\nf 1//1 2//1 4//1\n";
const char* const BOX_MTL = "newmtl red\nKd 1 0 0\nmap_Kd red.tga\n";
const char* const TRIANGLE_DAE =
    "<COLLADA><library_geometries><geometry name='tri'><mesh>"
    "<source id='p'><float_array count='12'>0 0 0 1 0 0 0 1 0 1 1 0</float_array></source>"
    "<source id='n'><float_array count='3'>0 0 1</float_array></source>"
    "<source id='t'><float_array count='4'>0 0 1 1</float_array></source>"
    "<vertices><input semantic='POSITION' source='#p'/></vertices><polylist count='2'>"
    "<input semantic='VERTEX' source='#v'/><input semantic='NORMAL' source='#n'/>"
    "<input semantic='TEXCOORD' source='#t'/><p>0 0 0 1 0 1 2 0 0 1 0 1 3 0 1 2 0 0</p></polylist>"
    "</mesh></geometry></library_geometries></COLLADA>";
const char* const PLATE_3DM = "o plate\nnumfaces 1\nv 0 0 0\nn 0 0 1\nt 0 0\nv 1 0 0\nn 0 0 1\nt 1 0\n"
                              "v 0 1 0\nn 0 0 1\nt 0 1\n";

TEST(ModelInfo, PrintsTheCountsOrTheReadersMessage)
{
    std::filesystem::path folder = scratchPath("model-info");
    std::filesystem::create_directories(folder);
    const std::pair<const char*, std::string> files[] = {
        {"box.obj", BOX_OBJ},
        {"box.mtl", BOX_MTL},
        {"tri.dae", TRIANGLE_DAE},
        {"plate.3dm", PLATE_3DM},
        {"hostile.obj", "v 0 0 0\nf 1 1 2\n"},
        {"hostile.dae", "<COLLADA><library_geometries"},
        {"hostile.3dm", "o plate\nnumfaces 2\nv 0 0 0\n"},
    };
    for (const auto& file : files)
        std::ofstream(folder / file.first) << file.second;
    struct Case {
        const char* file;
        int status;
        std::string output; // stdout and stderr together
    } cases[] = {
        {"box.obj", 0, "vertices 4 normals 1 texcoords 2 triangles 3 groups 3 materials 2\n"},
        {"tri.dae", 0, "triangles 2 positions 4 normals 1 texcoords 2\n"},
        {"plate.3dm", 0, "triangles 1 bones 0 frames 0\n"},
        {"hostile.obj", 1, (folder / "hostile.obj").string() + ":2: expected a vertex index from 1 to 1, found 2\n"},
        {"hostile.dae", 1,
         "XML [" + (folder / "hostile.dae").string() +
             "] parsed with errors\nError description: Error parsing start element tag\nError offset: 27 (error at "
             "[...s]\n\n"},
        {"hostile.3dm", 1,
         (folder / "hostile.3dm").string() + ":4: expected \"n %f %f %f\", found the end of the file\n"},
        {"missing.obj", 1, "objReadOBJ() failed: can't open data file \"" + (folder / "missing.obj").string() + "\".\n"},
        {"box.mtl", 1, "model-info: " + (folder / "box.mtl").string() + ": expected a .obj, .dae or .3dm file\n"},
    };
    for (const Case& c : cases) {
        ProgramRun run = runProgram(std::string("'") + BINARY_DIR + "/model-info' '" + (folder / c.file).string() +
                                    "' 2>&1");
        EXPECT_EQ(run.exitStatus, c.status) << c.file;
        EXPECT_EQ(run.output, c.output) << c.file;
    }
    std::filesystem::remove_all(folder);
}

} // namespace
