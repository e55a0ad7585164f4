// Scenes written by trailview, read back by a real VRML97 reader (Coin3D):
// every file must come out as five Transforms holding three line sets (the
// track, the bounding box, the axes) and two boxes (the markers), with the
// points and indices the track calls for.
#include <gtest/gtest.h>

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/VRMLnodes/SoVRMLBox.h>
#include <Inventor/VRMLnodes/SoVRMLCoordinate.h>
#include <Inventor/VRMLnodes/SoVRMLGroup.h>
#include <Inventor/VRMLnodes/SoVRMLIndexedLineSet.h>
#include <Inventor/VRMLnodes/SoVRMLTransform.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/fields/SoMFNode.h>
#include <Inventor/fields/SoSFNode.h>
#include <Inventor/lists/SoFieldList.h>
#include <sys/stat.h>

#include <limits>
#include <string>
#include <vector>

#include "files.h"
#include "run.h"

namespace {

using namespace testing_support;

struct Scene {
    bool loaded = false;
    std::string errors;  // what the reader complained about
    int transforms = 0;
    int boxes = 0;
    std::vector<int> points;   // per line set, in scene order
    std::vector<int> indices;  // per line set
};

void Collect(const SoError* error, void* data) {
    *static_cast<std::string*>(data) += std::string(error->getDebugString().getString()) + "\n";
}

// Walks the scene through every node-valued field, in scene order.
void Walk(SoNode* node, Scene& scene) {
    if (node == nullptr) {
        return;
    }
    if (node->isOfType(SoVRMLTransform::getClassTypeId())) {
        ++scene.transforms;
    } else if (node->isOfType(SoVRMLBox::getClassTypeId())) {
        ++scene.boxes;
    } else if (node->isOfType(SoVRMLIndexedLineSet::getClassTypeId())) {
        const auto* set = static_cast<SoVRMLIndexedLineSet*>(node);
        SoNode* coord = set->coord.getValue();
        const bool has_points =
            coord != nullptr && coord->isOfType(SoVRMLCoordinate::getClassTypeId());
        scene.points.push_back(has_points ? static_cast<SoVRMLCoordinate*>(coord)->point.getNum()
                                          : -1);
        scene.indices.push_back(set->coordIndex.getNum());
        return;
    }
    SoFieldList fields;
    node->getFields(fields);
    for (int i = 0; i < fields.getLength(); ++i) {
        SoField* field = fields[i];
        if (field->isOfType(SoSFNode::getClassTypeId())) {
            Walk(static_cast<SoSFNode*>(field)->getValue(), scene);
        } else if (field->isOfType(SoMFNode::getClassTypeId())) {
            const auto* nodes = static_cast<SoMFNode*>(field);
            for (int j = 0; j < nodes->getNum(); ++j) {
                Walk((*nodes)[j], scene);
            }
        }
    }
}

Scene Load(const std::string& text) {
    Scene scene;
    SoReadError::setHandlerCallback(Collect, &scene.errors);
    SoDebugError::setHandlerCallback(Collect, &scene.errors);
    SoInput input;
    input.setBuffer(text.data(), text.size());
    SoVRMLGroup* root = SoDB::readAllVRML(&input);
    if (root == nullptr) {
        return scene;
    }
    root->ref();
    scene.loaded = true;
    for (int i = 0; i < root->getNumChildren(); ++i) {
        Walk(root->getChild(i), scene);
    }
    root->unref();
    return scene;
}

// Checks a loaded scene against the drawn-point counts of its files.
void ExpectTracks(const Scene& scene, const std::vector<int>& drawn) {
    ASSERT_TRUE(scene.loaded) << scene.errors;
    EXPECT_EQ(scene.errors, "");
    const int files = static_cast<int>(drawn.size());
    EXPECT_EQ(scene.transforms, 5 * files);
    EXPECT_EQ(scene.boxes, 2 * files);
    std::vector<int> points;
    std::vector<int> indices;
    for (const int n : drawn) {
        // Track: n points, n indices and -1. Box: 8 corners, 2 faces of 5
        // indices and 4 edges of 2, each list ended by -1. Axes: 3 of 2.
        points.insert(points.end(), {n, 8, 6});
        indices.insert(indices.end(), {n + 1, 2 * 6 + 4 * 3, 3 * 3});
    }
    EXPECT_EQ(scene.points, points);
    EXPECT_EQ(scene.indices, indices);
}

// Records along the equator, about 111 m apart.
std::string Equator(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += Record(GPL_Data_Point(0.0, i * 1e-3, 100.0));
    }
    return bytes;
}

class VrmlCoinTest : public ::testing::Test {
  protected:
    std::string Trailview(const std::vector<std::string>& args) {
        RunOptions options;
        options.cwd = dir.path();
        return RunTool("trailview", args, options).out;
    }

    TempDir dir;
};

TEST_F(VrmlCoinTest, TheReaderRefusesWhatTheSceneMustNotHold) {
    // A scene of one drawn point, then the same with a number VRML does not
    // have: without this the checks below could not tell a bad scene.
    WriteFile(dir / "one.gpl", Equator(1));
    const std::string good = Trailview({"one.gpl"});
    ExpectTracks(Load(good), {1});
    std::string bad = good;
    bad.replace(bad.find("0  0\t 0,"), 1, "nan");
    const Scene scene = Load(bad);
    EXPECT_FALSE(scene.loaded && scene.errors.empty() && scene.points[0] == 1);
}

TEST_F(VrmlCoinTest, EdgeCaseScenesLoadWithTheirPointCounts) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    WriteFile(dir / "empty.gpl", "");
    WriteFile(dir / "one.gpl", Equator(1) + "partial");
    WriteFile(dir / "15.gpl", Equator(15));
    WriteFile(dir / "16.gpl", Equator(16));
    WriteFile(dir / "250.gpl", Equator(250));
    WriteFile(dir / "repeats.gpl", Records({GPL_Data_Point(1, 2, 0), GPL_Data_Point(1, 2, 50),
                                            GPL_Data_Point(1, 2, 90), GPL_Data_Point(1, 3, 0)}));
    WriteFile(dir / "odd.gpl", Records({GPL_Data_Point(0, 0, inf), GPL_Data_Point(nan, 0, 0),
                                        GPL_Data_Point(0, 0, 0), GPL_Data_Point(0, 180, 0),
                                        GPL_Data_Point(90, 0, 1e9)}));
    WriteFile(dir / "a\rb\nc.gpl", Equator(3));
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);

    const struct {
        std::vector<std::string> args;
        std::vector<int> drawn;
    } cases[] = {
        {{"empty.gpl"}, {0}},
        {{"one.gpl"}, {1}},
        {{"15.gpl", "16.gpl"}, {15, 16}},
        {{"250.gpl"}, {250}},
        {{"repeats.gpl"}, {2}},
        {{"odd.gpl"}, {3}},
        {{"-sx", "nan", "-sy", "1e-30", "-sz", "-2", "-slon", "3", "odd.gpl"}, {3}},
        {{"-slat", "1e300", "-salt", "inf", "repeats.gpl"}, {2}},
        {{"a\rb\nc.gpl"}, {3}},
        // A read failure still ends in complete groups.
        {{"one.gpl", "sub", "16.gpl"}, {1, 0}},
        {{"one.gpl", "missing.gpl"}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        ExpectTracks(Load(Trailview(c.args)), c.drawn);
    }
}

TEST_F(VrmlCoinTest, TheDemoSceneLoadsWithEveryPlaceOfTheDrive) {
    // Made the way the demo makes it: the sample listing through logpack,
    // then trailview with the altitude exaggerated.
    if (!FileExists(ToolPath("logpack"))) {
        GTEST_SKIP() << "logpack is not built; the demo scene cannot be made";
    }
    RunOptions options;
    options.cwd = dir.path();
    ASSERT_EQ(RunTool("logpack", {TRACKTOOLS_SAMPLE_DRIVE, "drive.gpl"}, options).exit_status, 0);
    const std::vector<GPL_Data_Point> drive = ParseRecords(ReadFile(dir / "drive.gpl"));
    ASSERT_GT(drive.size(), 100u);
    // A run of records at one place is one vertex.
    int places = 1;
    for (std::size_t i = 1; i < drive.size(); ++i) {
        places += drive[i].SamePlace(drive[i - 1]) ? 0 : 1;
    }
    ExpectTracks(Load(Trailview({"-salt", "3", "drive.gpl"})), {places});
}

}  // namespace

// Coin is set up once for the run and torn down at its end, so that what it
// holds is released before the leak check.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    SoDB::init();
    const int result = RUN_ALL_TESTS();
    SoDB::finish();
    return result;
}
