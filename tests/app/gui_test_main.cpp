// studlab_app_tests [SUITE] [Qt Test options]: runs one suite of window tests, or all of them.
// The windows need no display: the offscreen platform is the default here, on a desktop screen
// of 1920 x 1080, or of 1366 x 768 for the suite ScreenFit, which runs only when named.
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
    const char* Screen = "screen_1920x1080.json";
};

constexpr TSuite kSuites[] = {
    {"Navigation", studlab::test::RunNavigationTests},
    {"Constructor", studlab::test::RunConstructorTests},
    {"DesignFiles", studlab::test::RunDesignFileTests},
    {"Pictures", studlab::test::RunPictureTests},
    {"DecisionWindow", studlab::test::RunDecisionWindowTests},
    {"ProfitWindow", studlab::test::RunProfitWindowTests},
    {"ExactWindows", studlab::test::RunExactWindowTests},
    {"ScreenFit", studlab::test::RunScreenFitTests, "screen_1366x768.json"},
};

constexpr const char* kNamedOnly = "ScreenFit";

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<char*> args(argv, argv + argc);
    const char* only = nullptr;
    if (args.size() > 1 && args[1][0] != '-') {
        only = args[1];
        args.erase(args.begin() + 1);
    }
    // A plain "offscreen" gets the suite's screen too: Qt's default offscreen screen, 800 x 600,
    // is smaller than the largest windows, which would then open shrunk.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        const char* screen = kSuites[0].Screen;
        for (const TSuite& suite : kSuites) {
            if (only && std::strcmp(only, suite.Name) == 0) screen = suite.Screen;
        }
        qputenv("QT_QPA_PLATFORM",
                QByteArray("offscreen:configfile=") + STUDLAB_TEST_SCREENS_DIR "/" + screen);
    }
    studlab::UseRussianLocale();
    QApplication app(argc, argv);
    QTranslator translator;
    studlab::SetUpApplication(app, translator);

    int failures = 0;
    bool found = false;
    for (const TSuite& suite : kSuites) {
        if (only ? std::strcmp(only, suite.Name) != 0 : std::strcmp(kNamedOnly, suite.Name) == 0)
            continue;
        found = true;
        failures += suite.Run(static_cast<int>(args.size()), args.data());
    }
    if (!found) {
        qCritical("unknown suite %s", only);
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
