// Settings-record files: a stored 64-byte record ("Last Used" or a user
// preset value) saved as a file of exactly that size.
#pragma once

#include <cstddef>
#include <string>

// Reads the file at path into record (size bytes). False with a message when
// the file cannot be opened or is not exactly size bytes long.
bool ReadRecordFile(const std::string& path, void* record, size_t size, std::string& error);
