#pragma once
// Stores a window's placement (size, position, state) in the per-user store
// or in an ini file, and applies a stored placement to the window again.
//
// Values, all 32-bit integers: "Width", "Height" (outer size), "Top",
// "Left" (outer edges in screen pixels) and "WindowState" (1 minimised,
// 2 normal, 3 maximised; 0 or absent leaves the state alone).
// Place: for a window whose class is named N, with M = N without its first
// character, the key RegistryPath + "\" + M below HKEY_CURRENT_USER, or the
// section "<executable name without extension> - M" of IniPath. Key paths
// and section names are cut to 80 characters.

#include <QObject>
#include <QString>
#include <cstdint>

class QWidget;

namespace morvane {

enum class TWhatSave : std::uint8_t { size = 0, location = 1, state = 2 };

// A set of TWhatSave in one byte: size 1, location 2, state 4.
class STWhatSave {
public:
    constexpr STWhatSave() = default;
    constexpr STWhatSave(std::initializer_list<TWhatSave> items)
    {
        for (TWhatSave item : items)
            m_bits |= bit(item);
    }
    static constexpr STWhatSave fromBits(std::uint8_t bits)
    {
        STWhatSave s;
        s.m_bits = bits & 7;
        return s;
    }
    constexpr bool contains(TWhatSave item) const { return (m_bits & bit(item)) != 0; }
    constexpr std::uint8_t bits() const { return m_bits; }
    constexpr bool operator==(const STWhatSave&) const = default;

private:
    static constexpr std::uint8_t bit(TWhatSave item)
    {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(item));
    }
    std::uint8_t m_bits = 0;
};

constexpr int kMaxPlaceName = 80;

class TWinRestorer : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(QString RegistryPath READ RegistryPath WRITE setRegistryPath)
    Q_PROPERTY(QString IniPath READ IniPath WRITE setIniPath)
    Q_PROPERTY(bool UseIni READ UseIni WRITE setUseIni)

public:
    explicit TWinRestorer(QObject* owner = nullptr);

    bool Active() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    bool UseIni() const { return m_useIni; }
    void setUseIni(bool useIni) { m_useIni = useIni; }
    QString IniPath() const { return m_iniPath; }
    void setIniPath(const QString& path) { m_iniPath = path; }
    QString RegistryPath() const { return m_registryPath; }
    void setRegistryPath(const QString& path) { m_registryPath = path; }
    STWhatSave DefaultWhat() const { return m_defaultWhat; }
    void setDefaultWhat(STWhatSave what) { m_defaultWhat = what; }

    // Reads the items in `what` and applies them: the state first, then the
    // bounds in one operation. Unreadable values keep the window's own.
    void Restore(QWidget* form, STWhatSave what);
    // Writes the items of DefaultWhat. A failure to write throws StoreError;
    // the values written before it stay written.
    void Save(QWidget* form);

    // Where the values of `form` live.
    QString keyPath(const QWidget* form) const;
    QString sectionName(const QWidget* form) const;

    // The per-user store file; the platform's default unless set.
    void setStorePath(const QString& path) { m_storePath = path; }
    QString storePath() const;

private:
    bool m_active = true;
    bool m_useIni = false;
    QString m_iniPath;
    QString m_registryPath = QStringLiteral("Software\\Morvane Engineering\\fMyApp");
    STWhatSave m_defaultWhat{TWhatSave::size, TWhatSave::location, TWhatSave::state};
    QString m_storePath;
};

// The placement's state code: 1 minimised, 2 normal, 3 maximised.
std::int32_t windowStateCode(Qt::WindowStates state);

} // namespace morvane
