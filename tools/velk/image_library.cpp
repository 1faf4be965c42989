#include "tools/velk/image_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

#ifndef VELK_IMAGE_MODULE
#error "VELK_IMAGE_MODULE names the image library's file (velk_images.so)"
#endif

namespace {

const ImageLibrary* gLibrary = nullptr;
std::string gFailure; // why gLibrary is null

// The folder of the running program, without a final slash; empty when the
// system does not tell (why goes to error).
std::string ProgramFolder(std::string& error)
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0 || size_t(n) >= sizeof path) {
        error = "cannot find the program's folder: /proc/self/exe: " +
                std::string(n <= 0 ? std::strerror(errno) : "path too long");
        return "";
    }
    const std::string exe(path, size_t(n));
    return exe.substr(0, exe.rfind('/'));
}

// The table of the module at path, or null with why.
const ImageLibrary* Open(const std::string& path, std::string& why)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        why = message ? message : path + ": cannot be opened";
        return nullptr;
    }
    using Entry = const ImageLibrary* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(handle, "VelkImageLibrary"));
    const ImageLibrary* library = entry ? entry() : nullptr;
    if (library && library->version == kImageLibraryVersion &&
        library->size == sizeof(ImageLibrary))
        return library; // stays loaded: what it made lives until the program ends
    why = path + (entry ? " belongs to another build of velk" : " is not velk's image library");
    dlclose(handle);
    return nullptr;
}

// Beside the program (a build folder), else in ../lib/velk (bin/velk installed).
void Load()
{
    std::string why;
    const std::string folder = ProgramFolder(why);
    if (!folder.empty()) {
        const std::string places[] = {folder + "/" VELK_IMAGE_MODULE,
                                      folder + "/../lib/velk/" VELK_IMAGE_MODULE};
        why = "not in " + folder + " nor in " + folder + "/../lib/velk";
        for (const std::string& place : places)
            if (access(place.c_str(), F_OK) == 0) {
                gLibrary = Open(place, why);
                break;
            }
    }
    if (!gLibrary)
        gFailure = "cannot load the image library " VELK_IMAGE_MODULE ": " + why;
}

} // namespace

const ImageLibrary* LoadImageLibrary(std::string& error)
{
    static std::once_flag once;
    std::call_once(once, Load);
    if (!gLibrary)
        error = gFailure;
    return gLibrary;
}
