#include "card/throughput_test.h"

#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "card/bar0_map.h"
#include "card/bar_access.h"
#include "card/card_device.h"
#include "card/card_timing.h"
#include "card/pci_driver.h"

namespace vantu {
namespace {

constexpr std::uint32_t kBaseFactor = 15461;

int CompareRun(const std::vector<std::uint32_t>& written, const std::vector<std::uint32_t>& read) {
    int errors = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] != read[i]) {
            ++errors;
            std::printf("[%03d] E[0x%08X]-R[0x%08X]\n", errors, written[i], read[i]);
        }
    }
    return errors;
}

// A refused block access ends the test: its words would only compare as errors.
int Refused(CardHandle card, const char* access, PciStatus status) {
    std::fflush(stdout);
    std::fprintf(
        stderr, "%s refused: Error 0x%X - %s\n", access, status,
        card == nullptr ? PciStatusText(status).c_str() : card->driver->StatusText(status).c_str());
    return kThroughputRefused;
}

}  // namespace

int RunMemoryThroughputTest(CardHandle card, std::uint32_t offset, std::uint32_t bytes,
                            std::uint32_t runs) {
    std::mt19937 random(static_cast<std::mt19937::result_type>(std::time(nullptr)));
    const std::uint32_t words = bytes / 4;
    const double transferred = static_cast<double>(words) * 4;
    std::vector<std::uint32_t> written(words);
    std::vector<std::uint32_t> read(words);
    int total = 0;
    for (std::uint32_t run = 0; run < runs; ++run) {
        const std::uint32_t base = static_cast<std::uint32_t>(random()) * kBaseFactor;
        for (std::uint32_t i = 0; i < words; ++i) {
            written[i] = base + i;
        }
        StartStopwatch();
        PciStatus status = WriteBarBlock(card, kCardBar, offset, written.data(), words * 4);
        const double write_us = ReadStopwatch();
        if (status != kPciSuccess) {
            return Refused(card, "Write", status);
        }
        std::printf("Write %dDW Time = [%f]us\n", static_cast<int>(words), write_us);
        std::printf("Average WR Throughput = [%f]MB/sec\n", transferred / write_us);

        StartStopwatch();
        status = ReadBarBlock(card, kCardBar, offset, read.data(), words * 4);
        const double read_us = ReadStopwatch();
        if (status != kPciSuccess) {
            return Refused(card, "Read", status);
        }
        std::printf("Read %dDW Time = [%f]us\n", static_cast<int>(words), read_us);
        std::printf("Average RD Throughput = [%f]MB/sec\n", transferred / read_us);

        const int errors = CompareRun(written, read);
        std::printf("Run[%d] Error = %d\n", static_cast<int>(run), errors);
        total += errors;
    }
    std::printf("Total Error = %d\n", total);
    std::fflush(stdout);
    return total;
}

}  // namespace vantu
