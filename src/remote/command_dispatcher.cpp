#include "remote/command_dispatcher.h"

#include "controller/controller_timers.h"
#include "remote/command_words.h"

namespace vantu {
RemoteDispatcher::RemoteDispatcher(CCServer& server, const ControllerFlags& flags, Timers& timers,
                                   Clock* clock)
    : server_(server), flags_(flags), timers_(timers), clock_(clock) {}

void RemoteDispatcher::AddCommands(RemoteCommandSet& commands) {
    command_sets_.push_back(&commands);
}

template <typename Command>
void RemoteDispatcher::Framed(Command command) {
    const std::int64_t start_ns = clock_ != nullptr ? clock_->Nanoseconds() : 0;
    if (!flags_.card_present) {
        server_.SendReply("PXIE_CARD_NOT_EXIST");
        server_.Log("PXIe/QDX 全型機箱控制卡 : 不存在");
    }
    const PausedTimers paused = PausePeriodicTimers(timers_);
    command();
    const std::int64_t run_ns = clock_ != nullptr ? clock_->Nanoseconds() - start_ns : 0;
    ResumePeriodicTimers(timers_, paused, run_ns / 1'000'000, flags_.card_present);
    server_.TrimList();
    if (clock_ != nullptr) {
        latency_.Observe(static_cast<double>(run_ns) * 1e-9);
    }
}

void RemoteDispatcher::DispatchCommand(const std::string& line) {
    Framed([&] {
        if (!RunKnownCommand(line)) {
            server_.AnswerNotSupported();
        }
    });
}

void RemoteDispatcher::DispatchOverlongLine() {
    Framed([&] { server_.AnswerNotSupported(); });
}

bool RemoteDispatcher::RunKnownCommand(const std::string& line) {
    const std::string_view word = FirstWord(line);
    for (RemoteCommandSet* commands : command_sets_) {
        if (commands->RunCommand(word, line)) {
            return true;
        }
    }
    return false;
}

}  // namespace vantu
