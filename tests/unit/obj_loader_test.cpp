#include "OBJLoader.h"

#include "test_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

using Floats = std::vector<float>;

const char* const squareObj = "v -1 -1 0.5\n"
                              "v 1 -1 0.5\n"
                              "v 1 1 0.5\n"
                              "v -1 1 0.5\n"
                              "vt 0.25 0.75\n"
                              "vn 0 0 1\n"
                              "f 1/1/1 2/1/1 3/1/1\n"
                              "f 1/1/1 3/1/1 4/1/1\n";

// Each test writes its files into a directory of its own, so parallel test runs never share one.
class ObjFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "objXXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern + "/";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const std::string& name, const std::string& contents) {
        std::string path = dir + name;
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    std::string dir;
};

class ObjLoaderTest : public ObjFiles {};
class ObjLoaderDeathTest : public ObjFiles {};

// A regular expression that matches text literally.
std::string literally(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

// Runs the loader in the death-test child with its console text on stderr, where the test
// framework can match it.
void loadReportingOnStderr(const std::string& path) {
    sendStdoutToStderr();
    loadOBJ(path);
}

} // namespace

TEST(SplitTest, EmptyFieldsClosedByTheDelimiterReadOne) {
    using Fields = std::vector<std::string>;
    EXPECT_EQ(split("1/2/3", '/'), (Fields{"1", "2", "3"}));
    EXPECT_EQ(split("4//6", '/'), (Fields{"4", "1", "6"}));
    EXPECT_EQ(split("7/", '/'), (Fields{"7", ""}));
    EXPECT_EQ(split("", '/'), (Fields{""}));
    EXPECT_EQ(split("/", '/'), (Fields{"1", ""}));
}

TEST_F(ObjLoaderTest, SquareBecomesOneVertexPerCornerWithZNegated) {
    Model m = loadOBJ(write("square.obj", squareObj));
    EXPECT_EQ(m.vertices, (Floats{-1, -1, -0.5f, 1, -1, -0.5f, 1, 1, -0.5f, //
                                  -1, -1, -0.5f, 1, 1, -0.5f, -1, 1, -0.5f}));
    EXPECT_EQ(m.normals, (Floats{0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1}));
    EXPECT_EQ(m.uvs, (Floats{0.25f, 0.75f, 0.25f, 0.75f, 0.25f, 0.75f, //
                             0.25f, 0.75f, 0.25f, 0.75f, 0.25f, 0.75f}));
    EXPECT_EQ(m.elements, (std::vector<unsigned int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(ObjLoaderTest, CornersWithoutCoordinateGetZeroUV) {
    Model m = loadOBJ(write("plain.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 1 0\nvn 1 0 0\n"
                                         "f 1//2 2//1 3//2\n"));
    EXPECT_EQ(m.uvs, Floats(6, 0));
    EXPECT_EQ(m.normals, (Floats{1, 0, 0, 0, 1, 0, 1, 0, 0}));
}

TEST_F(ObjLoaderTest, ReadsOnlyWhatItNeedsAndSkipsEverythingElse) {
    Model m = loadOBJ(write("busy.obj", "# by hand\nmtllib crate.mtl\no crate\n\n"
                                        "v 1 2 3 4\nv 5 6\nv 7 8 9\nvt 0.5 0.25\nvn 0 0 -1\n"
                                        "g lid\nusemtl wood\ns off\nf 1/1/1 2/1/1 3/1/1 2/1/1\n"));
    // The fourth corner is dropped; an extra component is ignored, a missing one reads 0.
    EXPECT_EQ(m.vertices, (Floats{1, 2, -3, 5, 6, 0, 7, 8, -9}));
    EXPECT_EQ(m.uvs, (Floats{0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.25f}));
    EXPECT_EQ(m.elements, (std::vector<unsigned int>{0, 1, 2}));
}

TEST_F(ObjLoaderTest, FacesMayReferToVerticesListedAfterThem) {
    Model m = loadOBJ(write("late.obj", "f 3/1/1 2/1/1 1/1/1\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
                                        "vt 0 1\nvn 0 1 0\n"));
    EXPECT_EQ(m.vertices, (Floats{0, 0, -1, 0, 1, 0, 1, 0, 0}));
}

TEST_F(ObjLoaderTest, CrLfFileLoadsLikeLfFile) {
    std::string crlf = std::regex_replace(std::string(squareObj), std::regex("\n"), "\r\n");
    Model fromLf = loadOBJ(write("lf.obj", squareObj));
    Model fromCrLf = loadOBJ(write("crlf.obj", crlf));
    EXPECT_EQ(fromCrLf.vertices, fromLf.vertices);
    EXPECT_EQ(fromCrLf.normals, fromLf.normals);
    EXPECT_EQ(fromCrLf.uvs, fromLf.uvs);
    EXPECT_EQ(fromCrLf.elements, fromLf.elements);
}

TEST_F(ObjLoaderTest, ElementsCountPastSixteenBits) {
    const unsigned int faceCount = 21846; // 65,538 corners
    std::string text = "v 1 2 3\nv 4 5 6\nv 7 8 9\nvt 0 0\nvn 0 1 0\n";
    for (unsigned int f = 0; f < faceCount; ++f) {
        text += "f 1/1/1 2/1/1 3/1/1\n";
    }
    Model m = loadOBJ(write("large.obj", text));
    ASSERT_EQ(m.elements.size(), 3u * faceCount);
    for (unsigned int k = 0; k < m.elements.size(); ++k) {
        ASSERT_EQ(m.elements[k], k);
    }
    ASSERT_EQ(m.vertices.size(), 9u * faceCount);
    EXPECT_EQ(m.vertices[3 * 65537 + 2], -9);
}

TEST_F(ObjLoaderDeathTest, MissingFileIsReportedWithoutLineEnd) {
    std::string path = dir + "absent.obj";
    EXPECT_EXIT(loadReportingOnStderr(path), ::testing::ExitedWithCode(0),
                "Error reading file at: " + literally(path) + "$");
}

TEST_F(ObjLoaderDeathTest, BrokenFacesNameTheirLine) {
    const std::string head = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
    struct Case {
        std::string body;
        const char* reason;
    };
    const Case cases[] = {
        {"f 1/1/1 2/1/1 4/1/1\n", "position index out of range"},
        {"f 1/1/1 2/1/1 0/1/1\n", "position index out of range"},
        {"f 1/1/1 2/1/1 -1/1/1\n", "position index out of range"},
        {"f 1/2/1 2/1/1 3/1/1\n", "texture coordinate index out of range"},
        {"f 1/1/1 2/1/2 3/1/1\n", "normal index out of range"},
        {"f 1/2 2/1 3/1\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1 2 3\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1/1/1 2/1/x 3/1/1\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1/1/1  2/1/1 3/1/1\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1/1/1 2/1/1 3/1/1/1\n", "a corner must be v/vt/vn or v//vn"},
        {"f 1/1/1 2/1/1\n", "a face needs three corners"},
        {"f \n", "a face needs three corners"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        // A good face first, so the report has to name the right one.
        std::string path = write("broken.obj", head + "f 1/1/1 2/1/1 3/1/1\n" + c.body);
        EXPECT_EXIT(loadReportingOnStderr(path), ::testing::ExitedWithCode(0),
                    "Broken model file " + literally(path) + " at line 7: " + c.reason + "\n$");
    }
}

TEST_F(ObjLoaderDeathTest, IndexErrorNamesTheFaceLineEvenWhenFoundAfterReading) {
    std::string path = write("deferred.obj", "vt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n"
                                             "v 0 0 0\nv 1 0 0\n");
    EXPECT_EXIT(loadReportingOnStderr(path), ::testing::ExitedWithCode(0),
                "Broken model file " + literally(path) + " at line 3: position index out of range");
}
