// Reads a VRML 2.0 file with an independent scene-graph library and prints what it holds,
// so the export tests can check the written scenes with a real reader.
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/VRMLnodes/SoVRMLBackground.h>
#include <Inventor/VRMLnodes/SoVRMLIndexedFaceSet.h>
#include <Inventor/VRMLnodes/SoVRMLIndexedLineSet.h>
#include <Inventor/VRMLnodes/SoVRMLSphere.h>
#include <Inventor/VRMLnodes/SoVRMLTransform.h>
#include <Inventor/VRMLnodes/SoVRMLViewpoint.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/nodes/SoSeparator.h>

#include <cstdio>

namespace {

int ReadErrors = 0;

void CountError(const SoError* error, void*)
{
    ++ReadErrors;
    std::fprintf(stderr, "%s\n", error->getDebugString().getString());
}

// Instances of the type anywhere in the graph, shared ones (USE) counted once per path.
int Count(SoNode* root, SoType type)
{
    SoSearchAction search;
    search.setType(type);
    search.setInterest(SoSearchAction::ALL);
    search.setSearchingAll(TRUE);
    search.apply(root);
    return search.getPaths().getLength();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrml_read FILE.wrl\n");
        return 2;
    }
    SoDB::init();
    SoReadError::setHandlerCallback(CountError, nullptr);
    SoInput input;
    if (!input.openFile(argv[1])) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    if (!input.isFileVRML2()) {
        std::fprintf(stderr, "%s is not a VRML 2.0 file\n", argv[1]);
        return 1;
    }
    SoSeparator* root = SoDB::readAll(&input);
    if (!root || ReadErrors > 0) {
        std::fprintf(stderr, "%s could not be read\n", argv[1]);
        return 1;
    }
    root->ref();
    std::printf("{\"viewpoints\":%d,\"backgrounds\":%d,\"transforms\":%d,\"spheres\":%d,\"line_sets\":%d,"
                "\"face_sets\":%d}\n",
                Count(root, SoVRMLViewpoint::getClassTypeId()), Count(root, SoVRMLBackground::getClassTypeId()),
                Count(root, SoVRMLTransform::getClassTypeId()), Count(root, SoVRMLSphere::getClassTypeId()),
                Count(root, SoVRMLIndexedLineSet::getClassTypeId()),
                Count(root, SoVRMLIndexedFaceSet::getClassTypeId()));
    root->unref();
    return 0;
}
