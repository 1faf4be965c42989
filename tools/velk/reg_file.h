// Windows registry files (.reg), as regedit and reg.exe export and import
// them: "Windows Registry Editor Version 5.00" in UTF-16LE with a byte-order
// mark, or in UTF-8/ASCII, or the older "REGEDIT4". Only binary values are
// taken (hex: and hex(3):); deletions, strings, numbers and default values
// are passed over, as nothing of ours is stored that way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RegValue {
    std::string key;  // as written between the brackets, without them
    std::string name; // UTF-8
    std::vector<uint8_t> data;
};

// Reads the binary values of a registry file. False with a message naming
// the line when the file is not a registry file or a value is malformed.
bool ParseRegFile(const std::string& bytes, std::vector<RegValue>& values, std::string& error);

// A registry file of the values, keys in the order they first appear:
// version 5.00 in UTF-16LE with its byte-order mark and CRLF line ends, as
// regedit writes it.
std::string FormatRegFile(const std::vector<RegValue>& values);
