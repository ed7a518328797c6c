// What Windows takes as one element of a path (a file or folder name): no \ / : * ? " < > |, no
// control character, no trailing dot or space, no device name (CON, PRN, AUX, NUL, COM1 to COM9,
// LPT1 to LPT9), with or without an extension. The archive refuses other names, so what it packs it
// can unpack; the Creator stages files under names it takes.
#pragma once

#include <string>

namespace lumo {

// Why name cannot be a Windows name, or empty when it can.
std::string whyNotWindowsName(const std::string& name);

// The name with every character Windows refuses replaced by "_" and a device name prefixed by "_".
std::string windowsFileName(const std::string& name);

} // namespace lumo
