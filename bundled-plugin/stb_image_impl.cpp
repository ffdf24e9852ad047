// The one translation unit that compiles stb_image, with every block it
// allocates held to kMaxDecoderBlockBytes.
#include <cstdlib>

#include "bundled-plugin/image_decode.h"

namespace {

void* CappedMalloc(size_t size) { return size <= kMaxDecoderBlockBytes ? std::malloc(size) : nullptr; }

void* CappedRealloc(void* block, size_t size) {
    return size <= kMaxDecoderBlockBytes ? std::realloc(block, size) : nullptr;
}

}  // namespace

#define STBI_MALLOC(size) CappedMalloc(size)
#define STBI_REALLOC(block, size) CappedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
