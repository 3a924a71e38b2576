// The per-user settings store: application "Orvik", section "Options", text
// values. Truth values are the words True and False, numbers decimal text;
// a value that cannot be converted reads as the caller's default.
#pragma once

#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace orvik {

class Settings {
public:
    // The INI file: $ORVIK_HOME/Orvik.ini, else the per-user config location.
    static QString defaultFile();
    explicit Settings(const QString& iniFile);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    QString get(const QString& key, const QString& defaultValue) const;
    void save(const QString& key, const QString& value);
    bool contains(const QString& key) const;

    bool getBool(const QString& key, bool defaultValue) const;
    void saveBool(const QString& key, bool value);
    double getNumber(const QString& key, double defaultValue) const;
    void saveNumber(const QString& key, double value);

    static QString boolText(bool value);
    // The text of a truth value as the program converts it; nullopt when it is none.
    static std::optional<bool> parseBool(const QString& text);
    static QString numberText(double value);

    const QString& file() const { return m_file; }

private:
    QString m_file;
    std::unique_ptr<QSettings> m_store;
};

} // namespace orvik
