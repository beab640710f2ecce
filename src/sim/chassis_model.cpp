#include "sim/chassis_model.h"

#include <algorithm>
#include <bit>

namespace vantu {
namespace {

// The report layout as the card fills it: module slots, array offsets within the
// report memory (in words) and the digital-ID words of `reg_sts`.
constexpr std::array<int, 14> kColumnCounts = {6, 8, 12, 12, 14, 14, 14, 14, 14, 14, 12, 12, 8, 6};
constexpr int kSlbModule = 160;
constexpr std::size_t kTrmSts = 256;
constexpr std::size_t kQdxaSts = 512;
constexpr std::size_t kTrmTxRx = 1024;
constexpr std::size_t kTrmPwr = 1536;
constexpr std::size_t kTrmTemp = 2560;

struct Place {
    int column = 0;
    int index = 0;
};

constexpr Place PlaceOf(int module) {
    if (module == kSlbModule) {
        return {12, 8};
    }
    int column = 0;
    while (module >= kColumnCounts[static_cast<std::size_t>(column)]) {
        module -= kColumnCounts[static_cast<std::size_t>(column)];
        ++column;
    }
    return {column, module};
}

constexpr std::size_t DigitalIdWord(int column) {
    if (column == 0) {
        return 128;
    }
    return column <= 7 ? 96 + 4 * static_cast<std::size_t>(7 - column)
                       : 132 + 4 * static_cast<std::size_t>(column - 8);
}

constexpr float kAmbient = 23.0f;
constexpr float kRunning = 47.0f;
constexpr float kHeatRate = 1.0f / 8.0f;  // per step: about 8 s to warm up
constexpr float kCoolRate = 1.0f / 15.0f;
constexpr std::uint32_t kHotCode = 13;      // 68 °C
constexpr std::uint32_t kQdxaHotCode = 12;  // 63 °C
constexpr std::uint32_t kInterfaceNormal = 0x0000FFFF;

constexpr std::array<SimFault, 6> kRandomElementFaults = {
    SimFault::kTx,       SimFault::kSupply32V,   SimFault::kSupply9V5,
    SimFault::kSupply5V, SimFault::kSupplyNeg6V, SimFault::kHot};
constexpr std::array<SimFault, 5> kRandomQFaults = {SimFault::kQdxaFault, SimFault::kQdxaHot,
                                                    SimFault::kQdxaSp, SimFault::kQdxaVoltage,
                                                    SimFault::kDigitalId};

constexpr std::uint16_t Bit(SimFault kind) {
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(kind));
}

std::uint64_t SplitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// The 4-bit code whose temperature 5n + 3 is nearest; below 5.5 °C the code is 0.
std::uint32_t CodeOf(float celsius) {
    if (celsius < 5.5f) {
        return 0;
    }
    const int code = static_cast<int>((celsius - 3.0f) / 5.0f + 0.5f);
    return static_cast<std::uint32_t>(std::clamp(code, 1, 15));
}

constexpr int CelsiusOf(std::uint32_t code) {
    return code == 0 ? 0 : 5 * static_cast<int>(code) + 3;
}

}  // namespace

ChassisModel::ChassisModel(SimulatedCard& card, Clock& clock, ChassisSettings settings)
    : card_(card),
      clock_(clock),
      settings_(std::move(settings)),
      threshold_(settings_.fault_rate >= 1.0
                     ? ~std::uint64_t{0}
                     : static_cast<std::uint64_t>(settings_.fault_rate * 18446744073709551616.0)),
      rng_(settings_.seed),
      start_us_(clock.Microseconds()) {
    for (int module : settings_.absent_modules) {
        absent_[static_cast<std::size_t>(module)] = true;
    }
    for (std::size_t i = 0; i < temps_.size(); ++i) {
        offsets_[i] = static_cast<float>(static_cast<int>(Next() % 81) - 40) / 10.0f;
        temps_[i] = kAmbient + offsets_[i];
    }
    if (!settings_.replay_path.empty()) {
        replay_ = LoadReportSnapshots(settings_.replay_path);
    }
    scenario_active_.assign(settings_.scenario.size(), false);
    BuildFaultMasks();
    PlayScenario();
    Render();
}

void ChassisModel::PlayScenario() {
    bool changed = false;
    for (std::size_t i = 0; i < settings_.scenario.size(); ++i) {
        const bool active = settings_.scenario[i].ActiveAt(steps_);
        changed = changed || active != scenario_active_[i];
        scenario_active_[i] = active;
    }
    if (changed) {
        BuildFaultMasks();
    }
}

void ChassisModel::BuildFaultMasks() {
    stuck_elements_.fill(0);
    stuck_q_.fill(0);
    stuck_status_.fill(0);
    for (const StuckFault& fault : settings_.stuck_faults) {
        AddFault(fault);
    }
    bool card_faults[4] = {};
    for (std::size_t i = 0; i < settings_.scenario.size(); ++i) {
        const ScenarioEvent& event = settings_.scenario[i];
        if (!scenario_active_[i]) {
            continue;
        }
        if (event.card == CardFault::kNone) {
            AddFault(event.fault);
        }
        card_faults[static_cast<std::size_t>(event.card)] = true;
    }
    card_.SetSilent(card_faults[static_cast<std::size_t>(CardFault::kSilent)]);
    card_.sequencer().SetStuck(card_faults[static_cast<std::size_t>(CardFault::kSequencerBusy)]);
    card_.flash().SetStuckBusy(card_faults[static_cast<std::size_t>(CardFault::kFlashBusy)]);
}

void ChassisModel::AddFault(const StuckFault& fault) {
    const auto q = static_cast<std::size_t>(fault.module * kQPerModule + fault.q);
    if (fault.kind == SimFault::kStatusBit) {
        stuck_status_[static_cast<std::size_t>(fault.word)] |= 1u << fault.bit;
    } else if (fault.kind < SimFault::kQdxaFault) {
        stuck_elements_[q * 4 + static_cast<std::size_t>(fault.element)] |= Bit(fault.kind);
    } else {
        stuck_q_[q] |= Bit(fault.kind);
    }
}

ChassisModel::~ChassisModel() {
    if (attached_) {
        card_.SetReportReadHook(nullptr);
    }
}

void ChassisModel::AttachToReads() {
    attached_ = true;
    card_.SetReportReadHook([this](std::uint32_t offset) {
        if ((offset - kReportMemory) % kReportBlockBytes == 0) {
            Update();
        }
    });
}

void ChassisModel::Update() {
    const std::int64_t due = (clock_.Microseconds() - start_us_) / kStepUs;
    const bool running = card_.IsControlCodeRunning();
    while (steps_ < due) {
        Step(running);
        PlayScenario();
    }
    Render();
}

std::uint64_t ChassisModel::Next() {
    return SplitMix(rng_);
}

bool ChassisModel::Draw() {
    return threshold_ != 0 && Next() < threshold_;
}

int ChassisModel::Noise(std::size_t key, int spread) const {
    std::uint64_t state = settings_.seed ^ (static_cast<std::uint64_t>(steps_) << 20) ^ key;
    const std::uint64_t value = SplitMix(state);
    return static_cast<int>(value % static_cast<std::uint64_t>(2 * spread + 1)) - spread;
}

void ChassisModel::Step(bool running) {
    const float target = running ? kRunning : kAmbient;
    const float rate = running ? kHeatRate : kCoolRate;
    for (std::size_t i = 0; i < temps_.size(); ++i) {
        temps_[i] += (target + offsets_[i] - temps_[i]) * rate;
    }
    auto advance = [this](Transient& fault, auto& kinds) {
        if (fault.remaining > 0) {
            --fault.remaining;
        } else if (Draw()) {
            fault.kind = kinds[Next() % kinds.size()];
            fault.remaining = static_cast<std::uint8_t>(5 + Next() % 11);
        }
    };
    for (int module = 0; module < kModules; ++module) {
        if (absent_[static_cast<std::size_t>(module)]) {
            continue;
        }
        for (int k = 0; k < kElementsPerModule; ++k) {
            advance(element_faults_[static_cast<std::size_t>(module * kElementsPerModule + k)],
                    kRandomElementFaults);
        }
        for (int q = 0; q < kQPerModule; ++q) {
            advance(q_faults_[static_cast<std::size_t>(module * kQPerModule + q)], kRandomQFaults);
        }
    }
    for (auto& word : health_faults_) {
        for (std::uint8_t& remaining : word) {
            if (remaining > 0) {
                --remaining;
            } else if (Draw()) {
                remaining = static_cast<std::uint8_t>(5 + Next() % 11);
            }
        }
    }
    ++steps_;
}

void ChassisModel::RenderReplay() {
    const auto at = static_cast<std::size_t>(steps_ / settings_.replay_interval_s);
    const ReportSnapshot& snapshot = replay_[std::min(at, replay_.size() - 1)];
    for (std::uint32_t i = 0; i < snapshot.size(); ++i) {
        card_.SetReportWord(i, snapshot[i]);
    }
}

void ChassisModel::Render() {
    if (!replay_.empty()) {
        RenderReplay();
        return;
    }
    image_.fill(0);
    main_total_ = 0;
    slb_total_ = 0;
    for (int module = 0; module < kModules; ++module) {
        const Place place = PlaceOf(module);
        const auto slot = static_cast<std::size_t>(place.column * 16 + place.index);
        const bool absent = absent_[static_cast<std::size_t>(module)];
        for (int q = 0; q < kQPerModule; ++q) {
            const auto qi = static_cast<std::size_t>(module * kQPerModule + q);
            std::uint32_t status = 0;
            std::uint32_t txrx = 0;
            std::uint32_t supplies = 0;
            std::uint32_t codes = 0;
            std::uint32_t qdxa = 0;
            bool digital_id = false;
            if (absent) {
                status = 0xF;  // a module that does not answer is faulty as a whole
            } else {
                float sum = 0;
                for (int e = 0; e < 4; ++e) {
                    const std::size_t ei = qi * 4 + static_cast<std::size_t>(e);
                    const Transient& transient = element_faults_[ei];
                    const std::uint16_t faults =
                        stuck_elements_[ei] | (transient.remaining > 0 ? Bit(transient.kind) : 0);
                    const std::uint32_t code =
                        (faults & Bit(SimFault::kHot)) != 0 ? kHotCode : CodeOf(temps_[ei]);
                    std::uint32_t nibble = 0xF;
                    nibble &= (faults & Bit(SimFault::kSupply32V)) != 0 ? ~8u : ~0u;
                    nibble &= (faults & Bit(SimFault::kSupply9V5)) != 0 ? ~4u : ~0u;
                    nibble &= (faults & Bit(SimFault::kSupply5V)) != 0 ? ~2u : ~0u;
                    nibble &= (faults & Bit(SimFault::kSupplyNeg6V)) != 0 ? ~1u : ~0u;
                    const bool tx = (faults & Bit(SimFault::kTx)) != 0;
                    const bool rx = (faults & Bit(SimFault::kRx)) != 0;
                    const bool faulty = tx || nibble != 0xF || CelsiusOf(code) > 55 ||
                                        (faults & Bit(SimFault::kSummary)) != 0;
                    status |= static_cast<std::uint32_t>(faulty) << e;
                    txrx |= static_cast<std::uint32_t>(tx) << (2 * e + 1) |
                            static_cast<std::uint32_t>(rx) << (2 * e);
                    supplies |= nibble << (4 * e);
                    codes |= code << (4 * e);
                    sum += temps_[ei];
                }
                const Transient& transient = q_faults_[qi];
                const std::uint16_t faults =
                    stuck_q_[qi] | (transient.remaining > 0 ? Bit(transient.kind) : 0);
                const bool hot = (faults & Bit(SimFault::kQdxaHot)) != 0;
                qdxa = ((faults & Bit(SimFault::kQdxaFault)) != 0 ? 0u : 0x80u) |
                       (hot ? 0x40u : 0u) | ((faults & Bit(SimFault::kQdxaSp)) != 0 ? 0u : 0x20u) |
                       ((faults & Bit(SimFault::kQdxaVoltage)) != 0 ? 0u : 0x10u) |
                       (hot ? kQdxaHotCode : CodeOf(sum / 4 + 4));
                digital_id = (faults & Bit(SimFault::kDigitalId)) == 0;
            }
            const auto uq = static_cast<std::uint32_t>(q);
            image_[kTrmSts + slot] |= status << (4 * uq);
            image_[kQdxaSts + slot * 2 + uq / 4] |= qdxa << (8 * (uq % 4));
            image_[kTrmTxRx + slot * 2 + uq / 4] |= txrx << (8 * (uq % 4));
            image_[kTrmPwr + slot * 4 + uq / 2] |= supplies << (16 * (uq % 2));
            image_[kTrmTemp + slot * 4 + uq / 2] |= codes << (16 * (uq % 2));
            image_[DigitalIdWord(place.column) + static_cast<std::size_t>(place.index / 4)] |=
                static_cast<std::uint32_t>(digital_id) << (8 * (place.index % 4) + q);
            (module == kSlbModule ? slb_total_ : main_total_) += std::popcount(status);
        }
    }
    RenderStatusWords();
    for (std::uint32_t i = 0; i < image_.size(); ++i) {
        card_.SetReportWord(i, image_[i]);
    }
}

void ChassisModel::RenderStatusWords() {
    auto& sts = image_;
    sts[4] = kInterfaceNormal;
    sts[5] = kInterfaceNormal;
    sts[6] = static_cast<std::uint32_t>(main_total_ & 0x7FFF) |
             static_cast<std::uint32_t>(slb_total_ & 0x3F) << 15;
    // Unit versions, high and low half per word: QDX-A / QDX-C, RF_SW / Exciter, then
    // the QDX-B units in pairs.
    sts[8] = 0x01230105;
    sts[9] = 0x01100102;
    for (std::size_t w = 10; w <= 16; ++w) {
        sts[w] = 0x02140213;
    }
    for (std::size_t w = 20; w <= 27; ++w) {
        std::uint32_t word = 0xFFFFFFFF;
        for (std::size_t bit = 0; bit < 32; ++bit) {
            if (health_faults_[w - 20][bit] > 0) {
                word &= ~(1u << bit);
            }
        }
        sts[w] = word;
    }
    // Readings are unsigned: noise never takes one below 0.
    auto reading = [this](std::size_t key, int nominal, int spread) {
        return nominal == 0 ? 0u : static_cast<std::uint32_t>(nominal + Noise(key, spread));
    };
    auto halves = [&](std::size_t w, int hi, int lo, int spread) {
        sts[w] =
            (reading(8 * w + 1, hi, spread) & 0xFFFF) << 16 | (reading(8 * w, lo, spread) & 0xFFFF);
    };
    auto bytes = [&](std::size_t w, std::array<int, 4> nominal, int spread) {
        std::uint32_t word = 0;
        for (std::size_t n = 0; n < 4; ++n) {
            word |= (reading(8 * w + n, nominal[n], spread) & 0xFF) << (8 * n);
        }
        sts[w] = word;
    };
    // Scales as the antenna status page reads them: 300 V = 34208 x 0.00877, rails in
    // mV and mA, temperatures in 0.1 °C or 0.5 °C, RF power in 0.01 dBm or 0.25 dBm.
    halves(32, 34208, 34208, 40);
    halves(33, 2439, 2439, 12);
    halves(34, 12000, 0, 30);
    halves(35, 5000, 0, 15);
    halves(36, 12000, 1200, 20);
    sts[37] = reading(8 * 37 + 1, 5000, 15) << 16 | 5u << 8 | reading(8 * 37, 120, 5);
    for (std::size_t w = 38; w <= 44; ++w) {
        halves(w, 12000, 12000, 30);
    }
    for (std::size_t w = 45; w <= 51; ++w) {
        halves(w, 5000, 5000, 15);
    }
    for (std::size_t w = 52; w <= 58; ++w) {
        halves(w, 1000, 1000, 20);
    }
    for (std::size_t w = 60; w <= 62; ++w) {
        bytes(w, {60, 60, 60, 60}, 2);
    }
    for (std::size_t w = 63; w <= 65; ++w) {
        bytes(w, {45, 45, 45, 45}, 2);
    }
    bytes(66, {35, 36, 40, 30}, 1);
    bytes(67, {38, 0, 0, 0}, 0);
    halves(69, 350, 0, 5);
    halves(70, 340, 320, 5);
    for (std::size_t w = 71; w <= 77; ++w) {
        halves(w, 360, 360, 5);
    }
    for (std::size_t w = 81; w <= 87; ++w) {
        sts[w] = 80;  // 1000 ns pulse width
    }
    for (std::size_t w = 88; w <= 94; ++w) {
        sts[w] = 8000;  // 100 us period
    }
    sts[95] = 0x3FFF3FFF;
    for (std::size_t w = 160; w <= 173; ++w) {
        sts[w] = reading(8 * w, 25, 20);
    }
    sts[174] = reading(8 * 174, 2, 1);
    for (std::size_t w = 175; w <= 177; ++w) {
        bytes(w, {2, 2, 2, 2}, 1);
    }
    for (std::size_t w = 0; w < stuck_status_.size(); ++w) {
        sts[w] &= ~stuck_status_[w];
    }
    CrossLimits();
}

// A unit whose health bit is down reports a reading outside its limits, so the
// antenna status page shows in red what the main page's marks say.
void ChassisModel::CrossLimits() {
    auto& sts = image_;
    const auto down = [&](std::size_t word, unsigned bit) { return (sts[word] >> bit & 1u) == 0; };
    const auto put = [&](std::size_t word, unsigned shift, std::uint32_t mask,
                         std::uint32_t value) {
        sts[word] = (sts[word] & ~(mask << shift)) | (value & mask) << shift;
    };
    constexpr unsigned kQdxbUnits = 14;
    for (unsigned unit = 0; unit < kQdxbUnits; ++unit) {
        const std::size_t pair = unit / 2;
        const unsigned half = 16 * (unit % 2);
        if (down(20, unit)) {
            put(38 + pair, half, 0xFFFF, 10800);  // 10.80 V on the 12 V rail
        }
        if (down(21, unit)) {
            put(45 + pair, half, 0xFFFF, 4500);  // 4.50 V on the 5 V rail
        }
        if (down(23, unit)) {
            put(71 + pair, half, 0xFFFF, 560);  // 56.0 °C
        }
        if (down(24, unit)) {
            put(95, 13 - unit, 1, 0);  // link lost
        }
    }
    constexpr std::uint32_t kHotPower = 16;  // 4.00 dBm in 0.25 dBm steps
    for (unsigned unit = 0; unit < 12; ++unit) {
        if (down(27, unit)) {
            put(175 + unit / 4, 8 * (unit % 4), 0xFF, kHotPower);
        }
    }
    if (down(27, 31)) {
        put(174, 0, 0xFF, kHotPower);
    }
}

}  // namespace vantu
