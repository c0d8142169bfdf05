#pragma once
// Points the per-user store and the per-user data folder (where further
// running copies keep their work files) at a fresh temporary folder for each test.

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
        m_oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
    }
    void TearDown() override
    {
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
        qputenv("XDG_DATA_HOME", m_oldData);
    }

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
    QByteArray m_oldData;
};
