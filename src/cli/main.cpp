// orbelin-cli: validates its arguments, calls the core and prints JSON on stdout. Errors
// are one line on stderr: exit status 1 for bad input, 2 for bad usage.
#include "cli/Commands.h"
#include "data/TError.h"

#include <cstdio>
#include <exception>
#include <string>

namespace orbelin::cli {

const std::vector<TCommand>& Commands()
{
    static const std::vector<TCommand> commands = {
        {"info", "info PATH", "describe a table, dataset, map or project file as JSON", RunInfo},
        {"dataset", "dataset TABLE -o OUT.obd --fields A,B,...",
         "build a dataset from a table's numeric fields\n"
         "                               [--log A,...] [--tanh A,...] [--range A,...] [--std A,... | --no-std]\n"
         "                               [--exclude-gaps]",
         RunDataset},
        {"demo", "demo [DIR]", "describe the embedded demonstration table, or write the demonstration project into DIR",
         RunDemo},
        {"pca", "pca DATASET.obd [--components K] [--weights]", "principal components of a dataset's points", RunPca},
        {"cluster",
         "cluster DATASET.obd --method kmeans|colors|hierarchical|hierarchical-count [--k K] [--fraction F] "
         "[--distance euclidean|l1] [--seed S]",
         "cluster a dataset's points", RunCluster},
        {"init",
         "init DATASET.obd -o MAP.obm [--grid rectangular|spherical|hexagonal|toroidal|circle] [--rows P] [--cols Q] "
         "[--layers R] [--init pca|random|axes] [--size S] [--noise X] [--seed S]",
         "initialise a map on a dataset and write it", RunInit},
        {"project-points", "project-points MAP.obm [--dataset DATASET.obd] [--node] -o OUT.txt",
         "export the projections of a map's points", RunProjectPoints},
        {"color",
         "color MAP.obm [--dataset D.obd] --coloring field:NAME|pc:K|density2d|densitynd|lda|lra|spectrum|radial "
         "[--smoothness S] [--radius R] [--scheme NAME] [--palette continuous|discrete] [--tints N] [--relief X] "
         "[--view coords|pca|internal] [--axes A,B,C] -o OUT.json",
         "colour a map and write its layers' geometry for a view", RunColor},
        {"export",
         "export MAP.obm [--dataset D.obd] [--coloring field:NAME|pc:K|density2d|densitynd|lda|lra|spectrum|radial] "
         "[--smoothness S] [--radius R] [--scheme NAME] [--palette continuous|discrete] [--tints N] [--relief X] "
         "[--view coords|pca|internal] [--axes A,B,C] [--width W] [--height H] [--zoom Z] [--rotx A] [--rotz A] "
         "[--vrml OUT.wrl [--gzip]] [--ps OUT.ps] [--html DIR]",
         "write a map's scene, seen with a camera, as VRML, a PostScript plot or an HTML image map", RunExport},
        {"classes", "classes DATASET.obd --field NAME -o OUT.obd [--styles OUT.obc] [--visibility OUT.obs]",
         "style a dataset's points by the classes of a table field, with the matching sets", RunClasses},
        {"annotate", "annotate MAP.obm [--dataset D.obd] --class NAME [--font-size N] -o OUT.obm",
         "label each class of a table field at its typical point on a map", RunAnnotate},
        {"project", "project OUT.obp MEMBER.obm|MEMBER.obd...",
         "gather maps and datasets with their tables into a project file and its members", RunProject},
        {"train",
         "train DATASET.obd -o MAP.obm [init options] [--map START.obm] [--lambda L] [--mu M] [--max-iter N] "
         "[--weights] [--quiet]",
         "initialise (or read) a map and train it", RunTrain},
        {"grow", "grow MAP.obm -o OUT.obm (--extrapolate L,R,U,D | --interpolate L,R,U,D | --ring)",
         "extend, resample or ring a map", RunGrow},
        {"bench", "bench training [--workload w1|w2|w3|both] [--no-oracle] [--export DIR]",
         "time map training against the plain method", RunBench},
    };
    return commands;
}

namespace {

void PrintHelp()
{
    std::printf("usage: orbelin-cli COMMAND [ARGS...]\n\nCommands:\n");
    for (const TCommand& c : Commands())
        std::printf("  %-28s %s\n", c.Usage, c.Summary);
    std::printf("\nResults are printed as JSON on standard output.\n");
}

} // namespace
} // namespace orbelin::cli

int main(int argc, char** argv)
{
    using namespace orbelin::cli;
    const TArgs args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintHelp();
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp();
        return 0;
    }
    try {
        for (const TCommand& c : Commands())
            if (args[0] == c.Name) {
                c.Run(TArgs(args.begin() + 1, args.end()));
                return 0;
            }
        throw TUsageError("unknown command \"" + args[0] + "\" (see orbelin-cli --help)");
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "orbelin-cli: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbelin-cli: %s\n", e.what());
        return 1;
    }
}
