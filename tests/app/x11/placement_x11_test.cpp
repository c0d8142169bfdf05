// The main window's placement as a window manager treats it: the frame that
// the user sees is where the window was left, however often it restarts.
#include "main_window/main_window.h"
#include "recording_notifier.h"
#include "support/settings_store.h"
#include "store_fixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PlacementX11Test : public StoreTest {
protected:
    std::unique_ptr<TfrmMain> start()
    {
        MainWindowSeams seams;
        seams.notifier = &notifier;
        seams.workDir = [this] { return dir() + QStringLiteral("/work/"); };
        seams.decimalSeparator = u'.';
        auto window = std::make_unique<TfrmMain>(seams);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // The frame is known once the window manager has put it round.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }, 5000));
        QTest::qWait(100); // a last configure from the window manager
        return window;
    }
    morvane::RegistryKey placementKey() const
    {
        return morvane::RegistryKey(QStringLiteral("Software\\Morvane Engineering\\Tessivo\\frmMain"));
    }
    void storePosition(int left, int top)
    {
        morvane::RegistryKey key = placementKey();
        key.writeInteger(QStringLiteral("Left"), left);
        key.writeInteger(QStringLiteral("Top"), top);
    }
    QPoint storedPosition() const
    {
        const morvane::RegistryKey key = placementKey();
        return {key.readInteger(QStringLiteral("Left")).value_or(-1),
                key.readInteger(QStringLiteral("Top")).value_or(-1)};
    }

    RecordingNotifier notifier;
};

TEST_F(PlacementX11Test, TenRestartsKeepTheFrameWhereTheUserLeftIt)
{
    const QPoint left(300, 180);
    storePosition(left.x(), left.y());
    for (int restart = 0; restart < 10; ++restart) {
        auto window = start();
        EXPECT_EQ(window->frameGeometry().topLeft(), left) << "start " << restart;
        window->close();
        ASSERT_EQ(storedPosition(), left) << "close " << restart;
    }
}

TEST_F(PlacementX11Test, APositionOffEveryScreenComesBackOntoOne)
{
    const QPoint offScreen[] = {{5000, 4000}, {-3000, 200}, {300, -500}, {300, -5}};
    for (const QPoint& stored : offScreen) {
        storePosition(stored.x(), stored.y());
        auto window = start();
        const QRect frame = window->frameGeometry();
        const QRect titleBar(frame.left(), frame.top(), frame.width(), window->geometry().top() - frame.top());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(screen.contains(titleBar.topLeft()) && screen.contains(titleBar.bottomLeft()))
            << stored.x() << "," << stored.y() << " gave " << frame.left() << "," << frame.top();
        window->close();
    }
}

} // namespace
