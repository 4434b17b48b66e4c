// studlab_app_tests [SUITE] [Qt Test options]: runs one suite of window tests, or all of them.
// The windows need no display: the offscreen platform is the default here.
#include <QApplication>
#include <QTranslator>
#include <cstring>
#include <vector>

#include "app/application_setup.h"
#include "gui_test_support.h"

namespace {

struct TSuite {
    const char* Name;
    int (*Run)(int, char**);
};

constexpr TSuite kSuites[] = {
    {"Navigation", studlab::test::RunNavigationTests},
    {"Constructor", studlab::test::RunConstructorTests},
    {"DesignFiles", studlab::test::RunDesignFileTests},
    {"Pictures", studlab::test::RunPictureTests},
    {"DecisionWindow", studlab::test::RunDecisionWindowTests},
    {"ProfitWindow", studlab::test::RunProfitWindowTests},
    {"ExactWindows", studlab::test::RunExactWindowTests},
};

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTranslator translator;
    studlab::SetUpApplication(app, translator);

    std::vector<char*> args(argv, argv + argc);
    const char* only = nullptr;
    if (args.size() > 1 && args[1][0] != '-') {
        only = args[1];
        args.erase(args.begin() + 1);
    }
    int failures = 0;
    bool found = false;
    for (const TSuite& suite : kSuites) {
        if (only && std::strcmp(only, suite.Name) != 0) continue;
        found = true;
        failures += suite.Run(static_cast<int>(args.size()), args.data());
    }
    if (!found) {
        qCritical("unknown suite %s", only);
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
