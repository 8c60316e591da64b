#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace velmora {

// The address a stored link word of the chat opens, or nullopt when it must not be opened:
// trailing spaces and a leading "http://" (any letter case) go, and only http and https
// addresses with a plausible host leave the program.
std::optional<QUrl> webAddressFor(const QString& linkText);

} // namespace velmora
