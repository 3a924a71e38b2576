#include "Settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <cmath>
#include <optional>

namespace orvik {

namespace {
QString keyPath(const QString& key) {
    return QStringLiteral("Options/") + key;
}
} // namespace

QString Settings::defaultFile() {
    const QString home = qEnvironmentVariable("ORVIK_HOME");
    if (!home.isEmpty()) return QDir(home).filePath(QStringLiteral("Orvik.ini"));
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return QDir(config).filePath(QStringLiteral("Orvik/Orvik.ini"));
}

Settings::Settings(const QString& iniFile)
    : m_file(iniFile), m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

Settings::~Settings() = default;

QString Settings::get(const QString& key, const QString& defaultValue) const {
    const QVariant value = m_store->value(keyPath(key));
    return value.isValid() ? value.toString() : defaultValue;
}

void Settings::save(const QString& key, const QString& value) {
    m_store->setValue(keyPath(key), value);
    m_store->sync();
}

bool Settings::contains(const QString& key) const {
    return m_store->contains(keyPath(key));
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
