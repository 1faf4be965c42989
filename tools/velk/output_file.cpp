#include "tools/velk/output_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

namespace {

// The temporary file of the write in progress, for the signal handler. A
// batch writes several images at once: one replacement at a time keeps the
// name its own (two threads could otherwise swap names here and rename each
// other's file).
std::mutex gReplacing;
char gTemporary[PATH_MAX + 16];
volatile sig_atomic_t gHaveTemporary = 0;
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporaryAndDie(int signal)
{
    if (gHaveTemporary)
        unlink(gTemporary);
    std::signal(signal, SIG_DFL);
    raise(signal); // delivered with the default action once this returns
}

// Blocks the handled signals while the temporary name is set or cleared.
struct SignalsBlocked {
    sigset_t old;
    SignalsBlocked()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int s : kSignals)
            sigaddset(&set, s);
        sigprocmask(SIG_BLOCK, &set, &old);
    }
    ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &old, nullptr); }
};

std::string Folder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SystemError(const std::string& path, const char* what = nullptr)
{
    return "cannot write " + path + ": " + (what ? std::string(what) + ": " : "") +
           std::strerror(errno);
}

bool WriteAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

bool ResolveOutput(const std::string& path, OutputTarget& target, std::string& error)
{
    target = OutputTarget{};
    std::string current = path;
    struct stat st;
    for (int links = 0;; ++links) {
        if (lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                error = SystemError(path);
                return false;
            }
            break; // a new file
        }
        if (!S_ISLNK(st.st_mode)) {
            target.exists = true;
            break;
        }
        char link[PATH_MAX];
        const ssize_t n = readlink(current.c_str(), link, sizeof link - 1);
        if (n < 0 || links >= 40) {
            error = SystemError(path, "symbolic link");
            return false;
        }
        link[n] = '\0';
        current = link[0] == '/' ? std::string(link) : Folder(current) + "/" + link;
    }
    target.path = current;
    if (target.exists) {
        if (!S_ISREG(st.st_mode)) {
            error = "cannot write " + path + ": it exists and is not a regular file";
            return false;
        }
        // Root may write anything; a file without write permission is still
        // taken as one the user wants to keep.
        if ((st.st_mode & 0222) == 0 || access(current.c_str(), W_OK) != 0) {
            error = "cannot write " + path + ": the file is read-only";
            return false;
        }
        target.mode = st.st_mode & 07777;
        target.owner = st.st_uid;
        target.group = st.st_gid;
    }
    const std::string folder = Folder(current);
    struct stat fs;
    if (stat(folder.c_str(), &fs) != 0 || !S_ISDIR(fs.st_mode)) {
        error = "cannot write " + path + ": no folder " + folder;
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = SystemError(path, ("folder " + folder).c_str());
        return false;
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool ReplaceFile(const OutputTarget& target, const std::string& name,
                 const std::vector<unsigned char>& bytes, std::string& error)
{
    return ReplaceFile(target, name, std::vector<FilePiece>{{bytes.data(), bytes.size()}}, error);
}

bool ReplaceFile(const OutputTarget& target, const std::string& name,
                 const std::vector<FilePiece>& pieces, std::string& error)
{
    const std::lock_guard<std::mutex> one(gReplacing);
    // A short name of its own: a long output name still leaves room.
    const std::string pattern = Folder(target.path) + "/.velk-XXXXXX";
    if (pattern.size() >= sizeof gTemporary) {
        errno = ENAMETOOLONG;
        error = SystemError(name);
        return false;
    }
    int fd;
    {
        SignalsBlocked blocked;
        std::memcpy(gTemporary, pattern.c_str(), pattern.size() + 1);
        fd = mkstemp(gTemporary);
        if (fd < 0) {
            error = SystemError(name);
            return false;
        }
        gHaveTemporary = 1;
    }
    const std::string temporary = gTemporary;

    mode_t mode = target.mode;
    if (!target.exists) {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    } else if (fchown(fd, target.owner, target.group) != 0) {
        errno = 0; // only root may give a file to another owner: not an error
    }
    bool ok = fchmod(fd, mode) == 0;
    for (const FilePiece& piece : pieces)
        ok = ok && WriteAll(fd, piece.data, piece.size);
    ok = ok && fsync(fd) == 0;
    if (!ok)
        error = SystemError(name);
    if (close(fd) != 0 && ok) {
        error = SystemError(name);
        ok = false;
    }
    {
        SignalsBlocked blocked;
        if (ok && std::rename(temporary.c_str(), target.path.c_str()) != 0) {
            error = SystemError(name);
            ok = false;
        }
        if (!ok)
            unlink(temporary.c_str());
        gHaveTemporary = 0;
    }
    if (ok) {
        // The rename reaches the disk with the folder.
        const int folder = open(Folder(target.path).c_str(), O_RDONLY | O_DIRECTORY);
        if (folder >= 0) {
            fsync(folder);
            close(folder);
        }
    }
    return ok;
}

void InstallSignalCleanup()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveTemporaryAndDie;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals)
        sigaction(s, &action, nullptr);
}
