// A volume's identity as the named fields the CSV columns and the JSON keys
// carry, in one order, and read back from them.
#pragma once

#include "core/engine/VolumeIdentity.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace orvik {

constexpr int IdentityFieldCount = 17;
extern const std::array<const char*, IdentityFieldCount> IdentityFieldNames;

// Each field's text ("" for all of a volume without identity), and whether it
// is a number or a truth value (true/false) rather than text.
enum class IdentityKind { Text, Number, Truth };
IdentityKind identityKind(int field);
std::array<QByteArray, IdentityFieldCount> identityTexts(const engine::VolumeIdentity* identity);
// From the texts; none when "scanned" is empty. `bad` is called with the
// field's index and the problem for a text that is not its kind.
std::optional<engine::VolumeIdentity>
identityFromTexts(const std::array<QString, IdentityFieldCount>& texts,
                  const std::function<void(int field, const QString& problem)>& bad);

} // namespace orvik
