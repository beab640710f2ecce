#include "remote/command_dispatcher.h"

#include "remote/command_words.h"

namespace vantu {
namespace {

// The main controller's report poll and main page refresh timers, and the periods
// they restart with after a remote command.
constexpr int kPollTimer = 0;
constexpr int kRefreshTimer = 1;
constexpr int kPollRestartMs = 1000;
constexpr int kRefreshRestartMs = 1500;

}  // namespace

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
    timers_.Kill(kPollTimer);
    timers_.Kill(kRefreshTimer);

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

    timers_.Start(kPollTimer, kPollRestartMs);
    timers_.Start(kRefreshTimer, kRefreshRestartMs);
    server_.TrimList();
}

}  // namespace vantu
