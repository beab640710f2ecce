#include "card/flash_image.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <span>
#include <thread>

#include "card/card_timing.h"
#include "card/flash_access.h"
#include "card/spi_flash.h"

namespace vantu {
namespace {

constexpr std::uint32_t kChunkBytes = 128;
constexpr std::uint32_t kChunksPerMark = 0x10000 / kChunkBytes;
constexpr auto kPhasePause = std::chrono::milliseconds(10);

using Chunk = std::array<std::uint8_t, kChunkBytes>;

void Mark(const char* text) {
    std::fputs(text, stderr);
}

std::uint32_t ReadChunk(std::ifstream& file, Chunk& chunk) {
    file.read(reinterpret_cast<char*>(chunk.data()), chunk.size());
    return static_cast<std::uint32_t>(file.gcount());
}

// A chunk that crosses a page boundary (start address not 128-aligned) is programmed in
// two parts, because a page program wraps within its page.
void ProgramChunk(const Chunk& chunk, std::uint32_t address) {
    const std::uint32_t page_room = kCardFlash.page_bytes - address % kCardFlash.page_bytes;
    const std::uint32_t first = std::min(kChunkBytes, page_room);
    const std::span<const std::uint8_t> bytes(chunk);
    ProgramPage(bytes.first(first), address);
    if (first < kChunkBytes) {
        ProgramPage(bytes.subspan(first), address + first);
    }
}

void ProgramFile(std::ifstream& file, std::uint64_t start, std::uint64_t end) {
    std::uint32_t chunks = 0;
    for (std::uint64_t address = start; address < end; address += kChunkBytes) {
        Chunk chunk;
        chunk.fill(0xFF);
        ReadChunk(file, chunk);
        ProgramChunk(chunk, static_cast<std::uint32_t>(address));
        if (++chunks % kChunksPerMark == 0) {
            Mark(".");
        }
    }
}

int CountDiffering(const Chunk& expected, const Chunk& actual, std::uint32_t bytes) {
    int differing = 0;
    for (std::uint32_t i = 0; i < bytes; ++i) {
        differing += expected[i] != actual[i] ? 1 : 0;
    }
    return differing;
}

int VerifyFile(std::ifstream& file, std::uint64_t start, std::uint64_t end) {
    int total = 0;
    int group = 0;
    std::uint32_t chunks = 0;
    for (std::uint64_t address = start; address < end; address += kChunkBytes) {
        Chunk expected{};
        const std::uint32_t bytes = ReadChunk(file, expected);
        Chunk actual{};
        ReadFlash(actual, static_cast<std::uint32_t>(address));
        const int differing = CountDiffering(expected, actual, bytes);
        total += differing;
        group += differing;
        if (++chunks % kChunksPerMark == 0) {
            Mark(group != 0 ? "x" : "c");
            group = 0;
        }
    }
    return total;
}

void Rewind(std::ifstream& file) {
    file.clear();
    file.seekg(0);
}

}  // namespace

int ProgramFlashImage(const std::string& image_path, std::uint32_t start_address) {
    std::ifstream file(image_path, std::ios::binary | std::ios::ate);
    if (!file) {
        return -1;
    }
    const auto size = static_cast<std::uint32_t>(file.tellg());
    const std::uint64_t start = start_address;
    const std::uint64_t end = start + size;

    StartStopwatch();
    EraseRange(start_address, size);
    const double erase_us = ReadStopwatch();
    std::this_thread::sleep_for(kPhasePause);

    Rewind(file);
    Mark("Programming ");
    StartStopwatch();
    ProgramFile(file, start, end);
    const double program_us = ReadStopwatch();
    Mark("\n");
    std::this_thread::sleep_for(kPhasePause);

    Mark("Checking ");
    Rewind(file);
    const int total = VerifyFile(file, start, end);
    Mark("\n");
    file.close();
    std::fprintf(stderr, "Total Error = %d\n", total);
    std::fprintf(stderr, "Erase Time = %.2f Sec\n", erase_us / 1e6);
    std::fprintf(stderr, "Program Time = %.2f Sec\n", program_us / 1e6);
    return total != 0 ? 1 : 0;
}

}  // namespace vantu
