#pragma once
// Starts the main window on a store of its own and answers its message boxes.

#include "main_window/main_window.h"
#include "recording_notifier.h"
#include "support/settings_store.h"
#include "store_fixture.h"

#include <QTest>
#include <memory>

class MainWindowTest : public StoreTest {
protected:
    std::unique_ptr<TfrmMain> start(QChar separator = u'.')
    {
        MainWindowSeams seams;
        seams.notifier = &notifier;
        seams.workDir = [this] { return dir() + QStringLiteral("/work/"); };
        seams.decimalSeparator = separator;
        auto window = std::make_unique<TfrmMain>(seams);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    morvane::RegistryKey settingsKey() const { return morvane::RegistryKey(settingsKeyPath()); }
    QStringList storedSettingNames() const
    {
        return stored().valueNames(QStringLiteral("HKEY_CURRENT_USER\\") + settingsKeyPath());
    }

    RecordingNotifier notifier;
};
