#pragma once

#include <cstdint>

class QString;

namespace kivora {

// The per-user store of the stored settings. On Windows it is the registry; elsewhere the key
// "Software\<maker>\<program>" is the INI file <maker>/<program>.conf in the user's config folder
// ($XDG_CONFIG_HOME, by default ~/.config), and deeper keys are sections of that file.
//
// Each call opens the store, does its one access and closes it again; nothing is held between
// calls. Neither call reports anything.
enum class RootKey {
    CurrentUser, // HKEY_CURRENT_USER
};

// The value as a signed 32-bit number, or 0 when the key or the value is missing or the value is
// not a 32-bit number: another registry type, or INI text other than an optional sign followed
// by decimal digits that fit in 32 bits.
int32_t ReadDword(RootKey root, const QString& keyPath, const QString& valueName);

// Creates the key and its parents when missing. A failing write leaves the store as it was.
// Several values go through StoreBatch, as one save.
void WriteDword(RootKey root, const QString& keyPath, const QString& valueName, int32_t value);

} // namespace kivora
