#include "remote/command_dispatcher.h"

#include "model/controller_timers.h"
#include "remote/command_words.h"

namespace vantu {
RemoteDispatcher::RemoteDispatcher(CCServer& server, const ControllerFlags& flags, Timers& timers)
    : server_(server), flags_(flags), timers_(timers) {}

void RemoteDispatcher::AddCommands(RemoteCommandSet& commands) {
    command_sets_.push_back(&commands);
}

void RemoteDispatcher::DispatchCommand(const std::string& line) {
    if (!flags_.card_present) {
        server_.SendReply("PXIE_CARD_NOT_EXIST");
        server_.Log("PXIe/QDX 全型機箱控制卡 : 不存在");
    }
    StopPeriodicTimers(timers_);

    const std::string_view word = FirstWord(line);
    bool known = false;
    for (RemoteCommandSet* commands : command_sets_) {
        if (commands->RunCommand(word, line)) {
            known = true;
            break;
        }
    }
    if (!known) {
        server_.AnswerNotSupported();
    }

    RestartPeriodicTimers(timers_, flags_.card_present);
    server_.TrimList();
}

}  // namespace vantu
