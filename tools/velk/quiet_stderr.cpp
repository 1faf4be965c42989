#include "tools/velk/quiet_stderr.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QuietStderr::QuietStderr()
{
    std::fflush(stderr);
    file = std::tmpfile();
    if (!file)
        return; // no temporary file: the messages stay visible
    capture = fileno(file);
    saved = dup(STDERR_FILENO);
    if (saved < 0 || dup2(capture, STDERR_FILENO) < 0) {
        if (saved >= 0)
            close(saved);
        saved = -1;
    }
}

QuietStderr::~QuietStderr()
{
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (file)
        std::fclose(file); // its file has no name: closing removes it
}

std::string QuietStderr::Text()
{
    std::fflush(stderr);
    std::string text;
    if (capture < 0)
        return text;
    char buffer[4096];
    ssize_t n;
    off_t offset = 0;
    while (text.size() < 4096 && (n = pread(capture, buffer, sizeof buffer, offset)) > 0) {
        text.append(buffer, size_t(n));
        offset += n;
    }
    return OneLine(text);
}

std::string OneLine(const std::string& text)
{
    std::string line;
    bool lineBreak = false;
    for (char ch : text) {
        if (ch == '\n' || ch == '\r') {
            lineBreak = true;
            continue;
        }
        if (lineBreak && !line.empty())
            line += "; ";
        lineBreak = false;
        line += ch;
    }
    const size_t first = line.find_first_not_of(" ;\t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = line.find_last_not_of(" ;\t");
    return line.substr(first, last - first + 1);
}

std::string WithDetail(const std::string& what, const std::string& detail)
{
    if (detail.empty() || what.find(detail) != std::string::npos)
        return what;
    return what + ": " + detail;
}
