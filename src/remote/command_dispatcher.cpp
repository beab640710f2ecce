#include "remote/command_dispatcher.h"

#include "model/controller_timers.h"
#include "remote/command_words.h"

namespace vantu {
RemoteDispatcher::RemoteDispatcher(CCServer& server, const ControllerFlags& flags, Timers& timers)
    : server_(server), flags_(flags), timers_(timers) {}

void RemoteDispatcher::AddCommands(RemoteCommandSet& commands) {
    command_sets_.push_back(&commands);
}

template <typename Command>
void RemoteDispatcher::Framed(Command command) {
    if (!flags_.card_present) {
        server_.SendReply("PXIE_CARD_NOT_EXIST");
        server_.Log("PXIe/QDX 全型機箱控制卡 : 不存在");
    }
    StopPeriodicTimers(timers_);
    command();
    RestartPeriodicTimers(timers_, flags_.card_present);
    server_.TrimList();
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
