// One QApplication for all widget tests; headless unless told otherwise.
#include "support/app_identity.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    return RUN_ALL_TESTS();
}
