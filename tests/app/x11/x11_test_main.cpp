// The tests that need a real X server with a window manager: one private
// Xvfb and openbox for the whole run, on the xcb platform.
#include "support/app_identity.h"
#include "x_session.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    testing::InitGoogleTest(&argc, argv);
    const XSession session;
    if (!session.ok()) {
        std::fprintf(stderr, "No X session for the tests: %s\n", session.error().c_str());
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication app(argc, argv);
        applyApplicationIdentity(app);
        result = RUN_ALL_TESTS();
    }
    return result;
}
