#include "core/Settings.h"

#include "core/Error.h"
#include "core/IniText.h"
#include "core/platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <cerrno>
#include <cmath>
#include <optional>

namespace orvik {

namespace {
const QString Section = QStringLiteral("Options");
// As long as a writer waits for another program's catalogue.
constexpr int LockWaitMs = 5000;

QHash<QString, QString> storedValues(const QString& file) {
    QFile ini(file);
    return ini.open(QIODevice::ReadOnly) ? iniValues(ini.readAll(), Section)
                                         : QHash<QString, QString>();
}
} // namespace

QString Settings::defaultFile() {
    const QString home = qEnvironmentVariable("ORVIK_HOME");
    if (!home.isEmpty()) return QDir(home).filePath(QStringLiteral("Orvik.ini"));
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return QDir(config).filePath(QStringLiteral("Orvik/Orvik.ini"));
}

Settings::Settings(const QString& iniFile) : m_file(iniFile), m_values(storedValues(iniFile)) {}

Settings::~Settings() = default;

QString Settings::get(const QString& key, const QString& defaultValue) const {
    return m_values.value(key, defaultValue);
}

// Written by hand, not through Qt's settings store: on a full disk that
// renames a new file over the old one even when writing it failed.
void Settings::save(const QString& key, const QString& value) {
    save({{key, value}});
}

void Settings::save(const std::vector<std::pair<QString, QString>>& values) {
    try {
        QDir().mkpath(QFileInfo(m_file).absolutePath());
        // The lock Qt's settings store takes, so saves of two programs never
        // lose each other's keys.
        QLockFile lock(m_file + QStringLiteral(".lock"));
        if (!lock.tryLock(LockWaitMs))
            throw Error(EAGAIN,
                        lock.error() == QLockFile::LockFailedError
                            ? QStringLiteral("Another program is saving ") + m_file
                            : QStringLiteral("Cannot create ") + m_file + QStringLiteral(".lock"));
        QByteArray ini;
        QFile current(m_file);
        if (current.exists()) {
            if (current.open(QIODevice::ReadOnly)) ini = current.readAll();
            if (current.error() != QFileDevice::NoError)
                throw Error(EIO, current.errorString() + QStringLiteral(": ") + m_file);
        }
        QByteArray changed = ini;
        for (const auto& [key, value] : values)
            changed = withIniValue(changed, Section, key, value);
        // A window saves its place at every deactivation, mostly unchanged.
        if (changed != ini || !current.exists()) writeWholeFile(m_file, changed);
        for (const auto& [key, value] : values)
            m_values.insert(key, value);
    } catch (const Error& error) {
        m_saveFailure = QStringLiteral("Can't save settings: ") + error.description();
    }
}

bool Settings::contains(const QString& key) const {
    return m_values.contains(key);
}

std::optional<bool> Settings::parseBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double number = t.toDouble(&ok);
    if (ok) return number != 0;
    return std::nullopt;
}

bool Settings::getBool(const QString& key, bool defaultValue) const {
    return parseBool(get(key, boolText(defaultValue))).value_or(defaultValue);
}

void Settings::saveBool(const QString& key, bool value) {
    save(key, boolText(value));
}

double Settings::getNumber(const QString& key, double defaultValue) const {
    bool ok = false;
    const double value = get(key, numberText(defaultValue)).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : defaultValue;
}

void Settings::saveNumber(const QString& key, double value) {
    save(key, numberText(value));
}

QString Settings::boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Single precision, as the window geometry and font size are kept.
QString Settings::numberText(double value) {
    return QString::number(float(value), 'g', 7);
}

} // namespace orvik
