#include "win_restorer.h"

#include "ini_file.h"
#include "registry_key.h"
#include "window_frame.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>
#include <memory>
#include <optional>

namespace morvane {

namespace {

// The two stores behind one face, opened for one Restore or Save.
class PlacementStore {
public:
    virtual ~PlacementStore() = default;
    virtual std::optional<std::int32_t> read(const QString& name) = 0;
    virtual void write(const QString& name, std::int32_t value) = 0;
};

class RegistryPlacement : public PlacementStore {
public:
    RegistryPlacement(const QString& key, const QString& store) : m_key(key, store) {}
    std::optional<std::int32_t> read(const QString& name) override { return m_key.readInteger(name); }
    void write(const QString& name, std::int32_t value) override { m_key.writeInteger(name, value); }

private:
    RegistryKey m_key;
};

class IniPlacement : public PlacementStore {
public:
    IniPlacement(const QString& path, QString section) : m_file(path), m_section(std::move(section)) {}
    std::optional<std::int32_t> read(const QString& name) override { return m_file.readInteger(m_section, name); }
    void write(const QString& name, std::int32_t value) override { m_file.writeInteger(m_section, name, value); }

private:
    IniFile m_file;
    QString m_section;
};

QString shortTypeName(const QWidget* form)
{
    QString name = QString::fromLatin1(form->metaObject()->className());
    const qsizetype scope = name.lastIndexOf(QStringLiteral("::"));
    if (scope >= 0)
        name = name.mid(scope + 2);
    return name.mid(1);
}

QString executableBaseName()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(kMaxPlaceName);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name = name.left(dot);
    return name.left(kMaxPlaceName);
}

void applyState(QWidget* form, std::int32_t code)
{
    const Qt::WindowStates kept = form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (code == 1)
        form->setWindowState(kept | Qt::WindowMinimized);
    else if (code == 2)
        form->setWindowState(kept);
    else if (code == 3)
        form->setWindowState(kept | Qt::WindowMaximized);
}

// Outer bounds in one operation; the frame's share is taken off the size.
void setOuterBounds(QWidget* form, int left, int top, int width, int height)
{
    const QRect outer = outerBounds(form);
    const QRect inner = form->geometry();
    const int extraW = outer.width() - inner.width();
    const int extraH = outer.height() - inner.height();
    // Qt drops a maximised or minimised state on any move or resize; the
    // bounds become the normal ones and the state is put back, so that
    // restoring a position never changes the state.
    const Qt::WindowStates state = form->windowState();
    const QSize size(width - extraW, height - extraH);
    if (size != form->size())
        form->resize(size);
    if (QPoint(left, top) != outer.topLeft())
        moveFrameTo(form, QPoint(left, top));
    if (form->windowState() != state)
        form->setWindowState(state);
}

} // namespace

TWinRestorer::TWinRestorer(QObject* owner) : QObject(owner) {}

QString TWinRestorer::storePath() const
{
    return m_storePath.isEmpty() ? RegistryKey::defaultStorePath() : m_storePath;
}

QString TWinRestorer::keyPath(const QWidget* form) const
{
    QString path = m_registryPath;
    if (!path.endsWith(u'\\'))
        path += u'\\';
    return (path + shortTypeName(form)).left(kMaxPlaceName);
}

QString TWinRestorer::sectionName(const QWidget* form) const
{
    return (executableBaseName() + QStringLiteral(" - ") + shortTypeName(form)).left(kMaxPlaceName);
}

std::int32_t windowStateCode(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & Qt::WindowMaximized)
        return 3;
    return 2;
}

namespace {
std::unique_ptr<PlacementStore> openStore(const TWinRestorer& r, const QWidget* form)
{
    if (r.UseIni())
        return std::make_unique<IniPlacement>(r.IniPath(), r.sectionName(form));
    return std::make_unique<RegistryPlacement>(r.keyPath(form), r.storePath());
}
} // namespace

void TWinRestorer::Restore(QWidget* form, STWhatSave what)
{
    if (!m_active || (!m_useIni && m_registryPath.isEmpty()))
        return;
    const auto store = openStore(*this, form);
    std::int32_t stateCode = 0;
    if (what.contains(TWhatSave::state))
        stateCode = store->read(QStringLiteral("WindowState")).value_or(0);
    applyState(form, stateCode);
    const QRect outer = outerBounds(form);
    int left = outer.left(), top = outer.top(), width = outer.width(), height = outer.height();
    if (what.contains(TWhatSave::size)) {
        width = store->read(QStringLiteral("Width")).value_or(width);
        height = store->read(QStringLiteral("Height")).value_or(height);
    }
    if (what.contains(TWhatSave::location)) {
        top = store->read(QStringLiteral("Top")).value_or(top);
        left = store->read(QStringLiteral("Left")).value_or(left);
    }
    setOuterBounds(form, left, top, width, height);
}

void TWinRestorer::Save(QWidget* form)
{
    if (!m_active || (m_useIni ? m_iniPath.isEmpty() : m_registryPath.isEmpty()))
        return;
    const auto store = openStore(*this, form);
    const QRect outer = outerBounds(form);
    if (m_defaultWhat.contains(TWhatSave::size)) {
        store->write(QStringLiteral("Width"), outer.width());
        store->write(QStringLiteral("Height"), outer.height());
    }
    if (m_defaultWhat.contains(TWhatSave::location)) {
        store->write(QStringLiteral("Top"), outer.top());
        store->write(QStringLiteral("Left"), outer.left());
    }
    if (m_defaultWhat.contains(TWhatSave::state))
        store->write(QStringLiteral("WindowState"), windowStateCode(form->windowState()));
}

} // namespace morvane
