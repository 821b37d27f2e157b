#include "OBJLoader.h"
#include "test_support.h"

#include <regex>
#include <string>
#include <vector>

namespace {

using Floats = std::vector<float>;
using Indices = std::vector<unsigned int>;

const std::string squareObj = "v -1 -1 0.5\nv 1 -1 0.5\nv 1 1 0.5\nv -1 1 0.5\nvt 0.25 0.75\n"
                              "vt 0.5 1\nvn 0 0 1\nf 1/1/1 2/2/1 3/1/1\nf 1/2/1 3/1/1 4/2/1\n";

Model load(const std::string& name, const std::string& contents) {
    LoadedModel loaded = loadOBJ(writeTempFile(name, contents));
    EXPECT_EQ(loaded.failure, "");
    return loaded.model;
}

void expectBroken(const std::string& path, const std::string& lineAndFault) {
    LoadedModel loaded = loadOBJ(path);
    EXPECT_EQ(loaded.failure, "Broken model file " + path + " at line " + lineAndFault + "\n");
    EXPECT_TRUE(loaded.model.vertices.empty());
}

} // namespace

TEST(ObjLoader, SquareBecomesOneVertexPerCornerWithZNegatedWhateverTheLineEnds) {
    const std::string crlf = std::regex_replace(squareObj, std::regex("\n"), "\r\n");
    for (const std::string& text : {squareObj, crlf}) {
        SCOPED_TRACE(text);
        Model m = load("square.obj", text);
        EXPECT_EQ(m.vertices, (Floats{-1, -1, -0.5f, 1, -1, -0.5f, 1, 1, -0.5f, //
                                      -1, -1, -0.5f, 1, 1, -0.5f, -1, 1, -0.5f}));
        EXPECT_EQ(m.normals, (Floats{0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1}));
        EXPECT_EQ(m.uvs,
                  (Floats{0.25f, 0.75f, 0.5f, 1, 0.25f, 0.75f, 0.5f, 1, 0.25f, 0.75f, 0.5f, 1}));
        EXPECT_EQ(m.elements, (Indices{0, 1, 2, 3, 4, 5}));
    }
}

TEST(ObjLoader, ReadsOnlyWhatItNeedsWhereverItStands) {
    // The face comes before the vertices it names, and its corners name no texture coordinates.
    Model m = load("busy.obj", "# by hand\nmtllib crate.mtl\no crate\n\nf 1//2 2//1 3//2 2//1\n"
                               "g lid\nusemtl wood\ns off\nv 1 2 3 4\nv 5 6\nv 7 8 9\n"
                               "vn 0 0 -1\nvn 0 1 0\n");
    // The fourth corner is dropped; an extra component is ignored, a missing one reads 0.
    EXPECT_EQ(m.vertices, (Floats{1, 2, -3, 5, 6, 0, 7, 8, -9}));
    EXPECT_EQ(m.normals, (Floats{0, 1, 0, 0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(m.uvs, Floats(6, 0));
    EXPECT_EQ(m.elements, (Indices{0, 1, 2}));
}

TEST(ObjLoader, ElementsCountPastSixteenBits) {
    std::string text = "v 1 2 3\nv 4 5 6\nv 7 8 9\nvt 0 0\nvn 0 1 0\n";
    for (int f = 0; f < 21846; ++f) { // 65,538 corners
        text += "f 1/1/1 2/1/1 3/1/1\n";
    }
    const Indices elements = load("large.obj", text).elements;
    ASSERT_EQ(elements.size(), 65538u);
    EXPECT_EQ(elements.back(), 65537u);
}

TEST(ObjLoader, BrokenFacesNameTheirLineAndAMissingFileItsPath) {
    const std::pair<const char*, const char*> cases[] = {
        {"f 1/1/1 2/1/1 4/1/1\n", "position index out of range"},
        {"f 1/1/1 2/1/1 0/1/1\n", "position index out of range"},
        {"f 1/2/1 2/1/1 3/1/1\n", "texture coordinate index out of range"},
        {"f 1/1/1 2/1/2 3/1/1\n", "normal index out of range"},
        {"f 1/2 2/1 3/1\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1/1/1 2/1/1x 3/1/1\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1/1/1 2/1/1 3/1/1/1\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1/1/1 2/1/1\n", "a face needs three corners"},
    };
    for (const auto& [body, reason] : cases) {
        SCOPED_TRACE(body);
        // A good face first, so the report has to name the right one.
        expectBroken(writeTempFile("broken.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                                                 "f 1/1/1 2/1/1 3/1/1\n" +
                                                     std::string(body)),
                     "7: " + std::string(reason));
    }
    // Indices are checked once the whole file is read, yet the report names the face's line.
    expectBroken(
        writeTempFile("late.obj", "vt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\nv 0 0 0\nv 1 0 0\n"),
        "3: position index out of range");
    const std::string missing = ::testing::TempDir() + "no_such_model.obj";
    EXPECT_EQ(loadOBJ(missing).failure, "Error reading file at: " + missing);
}
