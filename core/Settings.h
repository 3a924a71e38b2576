// The per-user settings store: application "Orvik", section "Options", text
// values. Truth values are the words True and False, numbers decimal text;
// a value that cannot be converted reads as the caller's default. A save
// replaces the whole file at once, so a failed one leaves it as it was; one
// that changes nothing in it writes nothing.
#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

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
    // A file that could not be written (a full disk, no permission) is left
    // as it was; the windows keep silent about that, orvik-cli reports
    // saveFailure().
    void save(const QString& key, const QString& value);
    // Several keys in one replacement of the file, as a window saves its place.
    void save(const std::vector<std::pair<QString, QString>>& values);
    bool contains(const QString& key) const;

    bool getBool(const QString& key, bool defaultValue) const;
    void saveBool(const QString& key, bool value);
    double getNumber(const QString& key, double defaultValue) const;
    void saveNumber(const QString& key, double value);

    // Why the last save that failed did, naming the file; empty when none failed.
    const QString& saveFailure() const { return m_saveFailure; }

    static QString boolText(bool value);
    // The text of a truth value as the program converts it; nullopt when it is none.
    static std::optional<bool> parseBool(const QString& text);
    static QString numberText(double value);

    const QString& file() const { return m_file; }

private:
    QString m_file;
    // The file's values as read once at the start, and what this store saved since.
    QHash<QString, QString> m_values;
    QString m_saveFailure;
};

} // namespace orvik
