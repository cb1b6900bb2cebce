// All tests drive the real widgets on Qt's offscreen platform: no display needed.
#include "app/application.h"
#include "ui_runtime/ui_runtime.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests re-run the test binary instead of forking a process with Qt's threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (InitUIRuntime(argc, argv, zr_eval_application()) != 0)
        return 1;
    const int result = RUN_ALL_TESTS();
    CloseUIRuntime();
    return result;
}
