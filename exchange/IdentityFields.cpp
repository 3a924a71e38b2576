#include "exchange/IdentityFields.h"

namespace orvik {

const std::array<const char*, IdentityFieldCount> IdentityFieldNames = {"uuid",
                                                                        "fs_type",
                                                                        "label",
                                                                        "top_directory",
                                                                        "place",
                                                                        "total_bytes",
                                                                        "free_bytes",
                                                                        "scanned",
                                                                        "use_filter",
                                                                        "extensions",
                                                                        "save_dates",
                                                                        "save_lengths",
                                                                        "look_in_archives",
                                                                        "save_checksums",
                                                                        "directories",
                                                                        "files",
                                                                        "bytes"};

namespace {

// The fields in the order of the names, each as a pointer into an identity.
struct Members {
    std::array<QString*, IdentityFieldCount> texts{};
    std::array<std::int64_t*, IdentityFieldCount> numbers{};
    std::array<bool*, IdentityFieldCount> truths{};
};

Members membersOf(engine::VolumeIdentity& v) {
    Members m;
    m.texts = {&v.uuid, &v.fsType,  &v.label, &v.topDirectory, &v.place, nullptr,
               nullptr, &v.scanned, nullptr,  &v.extensions,   nullptr,  nullptr,
               nullptr, nullptr,    nullptr,  nullptr,         nullptr};
    m.numbers[5] = &v.totalBytes;
    m.numbers[6] = &v.freeBytes;
    m.numbers[14] = &v.directories;
    m.numbers[15] = &v.files;
    m.numbers[16] = &v.bytes;
    m.truths[8] = &v.useFilter;
    m.truths[10] = &v.saveDates;
    m.truths[11] = &v.saveLengths;
    m.truths[12] = &v.lookInArchives;
    m.truths[13] = &v.saveChecksums;
    return m;
}

} // namespace

IdentityKind identityKind(int field) {
    engine::VolumeIdentity none;
    const Members m = membersOf(none);
    return m.numbers[size_t(field)]  ? IdentityKind::Number
           : m.truths[size_t(field)] ? IdentityKind::Truth
                                     : IdentityKind::Text;
}

std::array<QByteArray, IdentityFieldCount> identityTexts(const engine::VolumeIdentity* identity) {
    std::array<QByteArray, IdentityFieldCount> texts;
    if (!identity) return texts;
    engine::VolumeIdentity copy = *identity;
    const Members m = membersOf(copy);
    for (size_t i = 0; i < texts.size(); ++i)
        texts[i] = m.texts[i]     ? m.texts[i]->toUtf8()
                   : m.numbers[i] ? QByteArray::number(qlonglong(*m.numbers[i]))
                                  : QByteArray(*m.truths[i] ? "true" : "false");
    return texts;
}

std::optional<engine::VolumeIdentity>
identityFromTexts(const std::array<QString, IdentityFieldCount>& texts,
                  const std::function<void(int field, const QString& problem)>& bad) {
    if (texts[7].isEmpty()) return std::nullopt;
    engine::VolumeIdentity identity;
    const Members m = membersOf(identity);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (m.texts[i]) {
            *m.texts[i] = texts[i];
        } else if (m.numbers[i]) {
            bool ok = false;
            *m.numbers[i] = texts[i].toLongLong(&ok);
            if (!ok || *m.numbers[i] < 0) bad(int(i), QStringLiteral("not a whole number"));
        } else if (texts[i] == QLatin1String("true") || texts[i] == QLatin1String("false")) {
            *m.truths[i] = texts[i] == QLatin1String("true");
        } else {
            bad(int(i), QStringLiteral("neither true nor false"));
        }
    }
    return identity;
}

} // namespace orvik
