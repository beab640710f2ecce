// The far end of a real pseudo-terminal, played by the test: it records every byte
// the port sends and answers each chunk with the chunks the script returns, written
// with a pause between them so they arrive as separate batches.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantu::testing {

class PtyPeer {
  public:
    using Script = std::function<std::vector<std::string>(std::string_view received)>;

    explicit PtyPeer(Script script = {});
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& path() const { return path_; }
    // Everything received so far, once it holds `count` bytes or a second has passed.
    std::string WaitReceived(std::size_t count);
    void Write(std::string_view bytes);
    // Closes the far end, as a USB unplug does: the port sees a hang-up.
    void HangUp();

  private:
    void Serve();

    Script script_;
    int master_ = -1;
    int slave_ = -1;
    int wake_ = -1;
    std::string path_;
    std::mutex mutex_;
    std::string received_;
    std::thread thread_;
};

// A firmware that answers the wake-up and echoes each line with the prompt.
std::vector<std::string> EchoFirmware(std::string_view received);

}  // namespace vantu::testing
