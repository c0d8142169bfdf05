#pragma once
// Points the per-user store at a fresh temporary folder for each test.

#include "registry_file.h"
#include "registry_key.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class StoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_oldConfig); }

    QString storePath() const { return morvane::RegistryKey::defaultStorePath(); }
    // The store as it is on disk now.
    morvane::RegistryFile stored() const
    {
        morvane::RegistryFile file(storePath());
        file.load();
        return file;
    }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
};
