// libFuzzer target: pattern file bytes through the parser. Whatever the file says, an
// accepted image must fit the control code memory on a word boundary, so the loader
// can never write outside it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "card/bar0_map.h"
#include "pattern/pattern_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantu;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    PatternImage image;
    if (ParsePattern(bytes, image) != kPatternRead) {
        return 0;
    }
    const std::uint64_t end = std::uint64_t{image.start_offset} + image.words.size() * 4;
    if (image.start_offset % 4 != 0 || image.start_offset < kControlCodeMemory ||
        end > std::uint64_t{kControlCodeMemory} + kMaxPatternBytes ||
        image.words.size() != image.length / 4) {
        __builtin_trap();
    }
    // What the tool writes back must parse to the same words.
    PatternImage again;
    if (ParsePattern(EncodePattern(image.start_offset, image.words), again) != kPatternRead ||
        again.words != image.words) {
        __builtin_trap();
    }
    return 0;
}
