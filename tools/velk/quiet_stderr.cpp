#include "tools/velk/quiet_stderr.h"

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace {

// One capture for the whole process: file descriptor 2 is shared by every
// thread, so images read and written at once share one temporary file. The
// first holder sets it up and the last one puts stderr back; each holder
// reads what was written there while it held it.
std::mutex gMutex;
int gHolders = 0;
std::FILE* gFile = nullptr;
int gSaved = -1;

off_t CaptureEnd()
{
    return gFile ? lseek(fileno(gFile), 0, SEEK_END) : 0;
}

} // namespace

std::FILE* UserErr()
{
    static std::FILE* const stream = [] {
        const int fd = dup(STDERR_FILENO);
        std::FILE* s = fd >= 0 ? fdopen(fd, "w") : nullptr;
        if (!s)
            return stderr;
        std::setvbuf(s, nullptr, _IONBF, 0); // as unbuffered as stderr
        return s;
    }();
    return stream;
}

QuietStderr::QuietStderr()
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::fflush(stderr);
    if (gHolders++ == 0) {
        gFile = std::tmpfile();
        gSaved = gFile ? dup(STDERR_FILENO) : -1;
        if (gSaved >= 0 && dup2(fileno(gFile), STDERR_FILENO) < 0) {
            close(gSaved);
            gSaved = -1;
        }
    }
    start = CaptureEnd();
}

QuietStderr::~QuietStderr()
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::fflush(stderr);
    if (--gHolders > 0)
        return;
    if (gSaved >= 0) {
        dup2(gSaved, STDERR_FILENO);
        close(gSaved);
        gSaved = -1;
    }
    if (gFile)
        std::fclose(gFile); // its file has no name: closing removes it
    gFile = nullptr;
}

std::string QuietStderr::Text()
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::fflush(stderr);
    std::string text;
    if (!gFile)
        return text;
    char buffer[4096];
    ssize_t n;
    off_t offset = start;
    while (text.size() < 4096 && (n = pread(fileno(gFile), buffer, sizeof buffer, offset)) > 0) {
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
