// The picture decoder and the PNG writer themselves. Debian ships them
// compiled as libstb for its own machine only, so a cross build compiles
// them here, once, from the same headers.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>
