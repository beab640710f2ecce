// libFuzzer target: received bytes through the TCP server core, its framing and the
// chassis commands, on the simulated card. The input is cut at 0xFF bytes into socket
// events: a piece's first byte picks a new connection (6), a peer close (7) or plain
// data (anything else); the rest of the piece is delivered as received bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "card/bar0_map.h"
#include "card/card_ops.h"
#include "pattern/pattern_file.h"
#include "remote/remote_control.h"
#include "sim/simulated_card_session.h"

namespace vantu {
namespace {

class SilentPrompts : public Prompts {
  public:
    bool AskYesNo(const std::string&) override { return false; }

  protected:
    void ShowBox(PromptIcon, const std::string&, const std::string&) override {}
};

// Nothing waits behind the gate here: one event is delivered at a time.
class RunNowPoster : public Poster {
  public:
    void Post(std::function<void()> work) override { work(); }
};

class IdleTimers : public Timers {
  public:
    void Start(int, int) override {}
    void Kill(int) override {}
};

// Virtual time: the commands' waits cost nothing.
class VirtualClock : public Clock, public ElapsedTimer {
  public:
    LocalTime Now() override { return {2026, 12, 5, 19, 46, 12}; }
    void SleepMs(int milliseconds) override { micros_ += std::int64_t{milliseconds} * 1000; }
    std::int64_t Microseconds() override { return micros_; }
    void MarkElapsedStart() override { mark_ = micros_; }
    double ElapsedMicroseconds() override { return static_cast<double>(micros_ - mark_); }

  private:
    std::int64_t micros_ = 0;
    std::int64_t mark_ = 0;
};

// Takes every byte the server sends; the slot empties on close.
class NullTransport : public RemoteTransport {
  public:
    ListenResult Listen() override { return ListenResult::kListening; }
    void AcceptPending() override {}
    SendResult SendToClient(std::string_view bytes) override {
        sent += bytes.size();
        return SendResult::kSent;
    }
    SendResult GatherReplies(bool) override { return SendResult::kSent; }
    void HoldReading(bool) override {}
    void CloseClient() override {}
    void CloseListener() override {}
    std::size_t sent = 0;
};

// A station directory with two pattern files, made once for the run. Its operation log
// is never opened, so the run does not fill the disk; lines are still built.
std::string StationDir() {
    std::string dir = (std::filesystem::temp_directory_path() / "vantu-fuzz-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        std::abort();
    }
    std::filesystem::create_directory(dir + "/SP Pattern");
    const std::vector<std::uint32_t> words = {0x11, 0x10000000, 0x22, 0x11000001, 0x33};
    std::ofstream(dir + "/SP Pattern/a.cfg", std::ios::binary) << EncodePattern(0xC000, words);
    std::ofstream(dir + "/SP Pattern/bad.cfg", std::ios::binary) << "\x00\xC0";
    return dir;
}

struct Shared {
    ~Shared() { std::filesystem::remove_all(dir); }

    std::string dir = StationDir();
    VirtualClock clock;
    std::unique_ptr<SimulatedCardSession> sim = OpenSimulatedCard({.clock = &clock});
};

// Everything the main controller would own, fresh for each input.
struct Station {
    explicit Station(Shared& shared)
        : card(shared.sim->handle()),
          logs(shared.dir, shared.clock),
          loader(table, logs, prompts, main_page),
          run({.card = card,
               .flags = flags,
               .timers = timers,
               .clock = shared.clock,
               .prompts = prompts,
               .logs = logs,
               .main_page = main_page,
               .analyzer_page = analyzer_page,
               .settings = settings,
               .loader = loader,
               .report_copy = report_copy}),
          remote({.transport = transport,
                  .gate = gate,
                  .elapsed = shared.clock,
                  .logs = logs,
                  .flags = flags,
                  .timers = timers,
                  .clock = shared.clock,
                  .card = card,
                  .settings = settings,
                  .loader = loader,
                  .opcode_table = table,
                  .run_control = run,
                  .main_page = main_page,
                  .analyzer_page = analyzer_page}) {
        flags.card_present = true;
        settings.pattern_dir = shared.dir + "/SP Pattern";
        StopControlCode(card);
        ClearControlCodeMemory(card);
    }

    CardHandle card;
    SilentPrompts prompts;
    IdleTimers timers;
    LogFiles logs;
    OpCodeTable table;
    MainPageModel main_page;
    AnalyzerPageModel analyzer_page;
    ControllerFlags flags;
    StationSettings settings;
    std::vector<std::uint32_t> report_copy = std::vector<std::uint32_t>(kReportWords);
    PatternLoader loader;
    RunControl run;
    NullTransport transport;
    RunNowPoster poster;
    BusyGate gate{poster};
    RemoteControl remote;
};

}  // namespace
}  // namespace vantu

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vantu::Shared shared;
    vantu::Station station(shared);
    vantu::TransportEvents& events = station.remote.transport_events();
    events.OnConnectionRequested();

    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = std::min(input.find('\xFF'), input.size());
        std::string_view piece = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (piece.empty()) {
            continue;
        }
        switch (static_cast<unsigned char>(piece.front()) % 8) {
            case 6:
                events.OnConnectionRequested();
                break;
            case 7:
                events.OnPeerClosed();
                break;
            default:
                break;
        }
        events.OnDataReceived(piece.substr(1));
        // The two flags live within one command.
        if (station.flags.opcode_access || station.flags.load_stop) {
            std::abort();
        }
        // The list is trimmed at the end of every message and command.
        if (station.analyzer_page.tcp_messages.lines().size() > 200) {
            std::abort();
        }
    }
    return 0;
}
