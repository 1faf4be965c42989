// Output files: where an output really goes, whether it may be replaced, and
// the replacement itself. The bytes are written under a temporary name in
// the target's folder, flushed to the disk and renamed onto the target, so
// that the target is either the old file or the complete new one.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

struct OutputTarget {
    std::string path;    // symbolic links followed: the file that is replaced
    bool exists = false; // then mode, owner and group are kept by the new file
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// Follows symbolic links from path and checks that the file can be written:
// an existing output must be a regular file with write permission, and its
// folder must exist and be writable. False with a message otherwise.
bool ResolveOutput(const std::string& path, OutputTarget& target, std::string& error);

// True when both paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

// A piece of a file's bytes (owned elsewhere).
struct FilePiece {
    const unsigned char* data;
    size_t size;
};

// Replaces target.path by bytes. Every write error, including those of the
// final flush and close, is reported; then the temporary file is removed and
// the target is as it was. name is the output as the user gave it.
bool ReplaceFile(const OutputTarget& target, const std::string& name,
                 const std::vector<unsigned char>& bytes, std::string& error);
// The same with the bytes in pieces, written one after the other.
bool ReplaceFile(const OutputTarget& target, const std::string& name,
                 const std::vector<FilePiece>& pieces, std::string& error);

// SIGINT, SIGTERM and SIGHUP remove the temporary file of a write in progress
// before they end the program.
void InstallSignalCleanup();
