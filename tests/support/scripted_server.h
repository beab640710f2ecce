// A line server on loopback played by the test, as a SCPI instrument or a station: it
// records every line it receives, answers lines from a script, keeps an error queue for
// :SYST:ERR?, and misbehaves on chosen lines the way real instruments do.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantu::testing {

// kSlow: busy for kSlowMs before the next line; kExtraLine: the answer and an unasked
// line in one write; kClose: the connection closed on the line, unanswered.
enum class Misbehaviour { kNone, kSilent, kSlow, kExtraLine, kGarbage, kClose };

class ScriptedServer {
  public:
    // Lines end in the terminator, on ::1 when ipv6, else on 127.0.0.1.
    explicit ScriptedServer(char terminator = '\n', bool ipv6 = false);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t port() const { return port_; }

    // The answer goes out with a terminator added, in one write.
    void Answer(const std::string& query, const std::string& answer);
    // After command arrives, :SYST:ERR? reports these errors, then 0.
    void FailAfter(const std::string& command, std::vector<std::string> errors);
    static constexpr int kSlowMs = 2500;
    void Misbehave(const std::string& line, Misbehaviour how);
    // Every line received so far, and forgets them.
    std::vector<std::string> Take();

  private:
    void Serve();
    void ServeClient(int fd);
    std::string Reply(const std::string& line, Misbehaviour& how);

    const char terminator_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::map<std::string, std::vector<std::string>> failures_;
    std::map<std::string, Misbehaviour> misbehaviours_;
    std::deque<std::string> errors_;
    std::vector<std::string> received_;
    std::thread thread_;
};

}  // namespace vantu::testing
