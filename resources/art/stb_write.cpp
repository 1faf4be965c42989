// The PNG writer of stb (public domain header from the system's stb package).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_FALSE_WARNING
#include <stb/stb_image_write.h>
