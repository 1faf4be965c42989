// Image libraries print some of their warnings and errors straight to
// stderr. While a QuietStderr lives, file descriptor 2 points to a
// temporary file instead; Text() gives what was printed there as one line,
// to be folded into the tool's own error line. Images handled at once share
// the capture, so the tool's own messages go to UserErr(), which is never
// captured.
#pragma once

#include <cstdio>
#include <string>

struct QuietStderr {
    QuietStderr();
    ~QuietStderr(); // puts stderr back
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

    // What the libraries printed so far, lines joined with "; ".
    std::string Text();

    long start = 0; // where this holder's part of the capture begins
};

// The user's stderr, whatever a capture does to file descriptor 2: a copy of
// it made on the first call, which the program makes before any capture.
std::FILE* UserErr();

// Text as one line: line breaks become "; ", blanks at both ends are cut.
std::string OneLine(const std::string& text);

// "what: detail", or just what when the detail is empty or already in it.
std::string WithDetail(const std::string& what, const std::string& detail);
