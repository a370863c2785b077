#include "program_runner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    // What is no regular file reads nothing and must not block: directories, FIFOs, a material
    // library that is a directory; and bytes that are not text.
    std::filesystem::create_directory(folder / "folder.obj");
    std::filesystem::create_directory(folder / "folder.dae");
    std::filesystem::create_directory(folder / "library");
    ASSERT_EQ(mkfifo((folder / "pipe.obj").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((folder / "pipe.3dm").c_str(), 0600), 0);
    std::ofstream(folder / "library.obj") << "mtllib library\nv 0 0 0\n";
    std::ofstream(folder / "binary.obj", std::ios::binary) << std::string("v 0 0 0\n\0\0\0\0", 12);
    const std::string dir = folder.string() + "/";
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
         "XML [" + dir + "hostile.dae] parsed with errors: Error parsing start element tag at offset 27 (error at "
         "[...s])\n"},
        {"hostile.3dm", 1,
         (folder / "hostile.3dm").string() + ":4: expected \"n %f %f %f\", found the end of the file\n"},
        {"missing.obj", 1, "model-info: " + dir + "missing.obj: No such file or directory\n"},
        {"folder.obj", 1, "model-info: " + dir + "folder.obj: is a directory\n"},
        {"folder.dae", 1, "model-info: " + dir + "folder.dae: is a directory\n"},
        {"pipe.obj", 1, "model-info: " + dir + "pipe.obj: is not a regular file\n"},
        {"pipe.3dm", 1, "model-info: " + dir + "pipe.3dm: is not a regular file\n"},
        {"library.obj", 1, "objReadMTL() failed: can't open material file \"" + dir + "library\".\n"},
        {"binary.obj", 1, dir + "binary.obj: expected a text file, found a zero byte at offset 8\n"},
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

// Inputs that ask for more than any model needs are refused with a message inside a 2 GB
// address space: one face line of 2^26 + 1 corners (134 MB), and 512 MB of zero bytes; a model
// within the bounds that does not fit the memory there is is a message too.
TEST(ModelInfo, HugeInputsAreRefusedWithinTwoGigabytes)
{
    const std::filesystem::path folder = scratchPath("model-info-huge");
    std::filesystem::create_directories(folder);
    {
        std::string face = "v 0 0 0\nf";
        face.reserve(face.size() + 2 * ((size_t(1) << 26) + 1) + 1);
        for (size_t i = 0; i < (size_t(1) << 26) + 1; ++i)
            face += " 1";
        face += "\n";
        std::ofstream(folder / "face.obj", std::ios::binary) << face;
    }
    std::ofstream(folder / "zeros.obj").close();
    std::filesystem::resize_file(folder / "zeros.obj", size_t(512) << 20);  // sparse: nothing written
    {
        std::string faces = "v 0 0 0\n";
        for (int i = 0; i < 3000000; ++i)  // 24 MB asking for some 280 MB of arrays
            faces += "f 1 1 1\n";
        std::ofstream(folder / "faces.obj", std::ios::binary) << faces;
    }
    const std::string dir = folder.string() + "/";
    const struct {
        const char* file;
        const char* kilobytes;
        std::string output;
    } cases[] = {
        {"face.obj", "2097152", dir + "face.obj:2: expected a face of at most 65536 corners, found more\n"},
        {"zeros.obj", "2097152",
         "model-info: " + dir + "zeros.obj: is 536870912 bytes, more than the 268435456 bytes taken\n"},
        {"faces.obj", "200000", dir + "faces.obj: out of memory while reading the model\n"},
    };
    for (const auto& c : cases) {
        ProgramRun run = runProgram(std::string("ulimit -v ") + c.kilobytes + " && '" + BINARY_DIR + "/model-info' '" +
                                    dir + c.file + "' 2>&1");
        EXPECT_EQ(run.exitStatus, 1) << c.file;
        EXPECT_EQ(run.output, c.output) << c.file;
    }
    std::filesystem::remove_all(folder);
}

} // namespace
