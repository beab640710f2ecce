#include "card/flash_image.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <span>
#include <thread>
#include <vector>

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

// Bytes of the flash that an image's erase takes with it but the image does not cover.
struct KeptBytes {
    std::uint32_t address = 0;
    std::vector<std::uint8_t> bytes;
};

KeptBytes ReadKept(std::uint64_t begin, std::uint64_t end) {
    KeptBytes kept{static_cast<std::uint32_t>(begin), std::vector<std::uint8_t>(end - begin)};
    const std::span<std::uint8_t> bytes(kept.bytes);
    for (std::uint32_t done = 0; done < bytes.size();) {
        done += ReadFlash(bytes.subspan(done), kept.address + done);
    }
    return kept;
}

// Programs the kept bytes back page by page; pages still all 0xFF are left erased.
void RestoreKept(const KeptBytes& kept) {
    const std::span<const std::uint8_t> bytes(kept.bytes);
    for (std::uint32_t done = 0; done < bytes.size();) {
        const std::uint32_t address = kept.address + done;
        const std::uint32_t piece =
            std::min<std::uint32_t>(kCardFlash.page_bytes - address % kCardFlash.page_bytes,
                                    static_cast<std::uint32_t>(bytes.size()) - done);
        const std::span<const std::uint8_t> page = bytes.subspan(done, piece);
        if (!std::ranges::all_of(page, [](std::uint8_t byte) { return byte == 0xFF; })) {
            ProgramPage(page, address);
        }
        done += piece;
    }
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
    // The erase takes whole sectors: what they hold before and after the image is read
    // first and programmed back with it, so an image off the sector grid harms nothing.
    const std::uint64_t sector = kCardFlash.sector_bytes;
    const KeptBytes before = ReadKept(start - start % sector, start);
    const KeptBytes after = ReadKept(end, (end + sector - 1) / sector * sector);

    StartStopwatch();
    EraseRange(start_address, size);
    const double erase_us = ReadStopwatch();
    std::this_thread::sleep_for(kPhasePause);

    Rewind(file);
    Mark("Programming ");
    StartStopwatch();
    ProgramFile(file, start, end);
    RestoreKept(before);
    RestoreKept(after);
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
