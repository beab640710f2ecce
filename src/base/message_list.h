// An on-screen message list (the main page's, the TCP list of the analyzer page) as
// the core sees it. A view may listen for changes and redraw.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

inline constexpr std::string_view kListSeparator =
    "-------------------------------------------------------------------------------------------"
    "------";

class MessageList {
  public:
    static constexpr std::size_t kTrimAbove = 30;

    void Add(std::string_view line);
    // Empties the list when it holds more than 30 lines.
    void Trim();
    void Clear();

    const std::vector<std::string>& lines() const { return lines_; }
    void set_on_change(std::function<void()> on_change) { on_change_ = std::move(on_change); }

  private:
    void Changed();

    std::vector<std::string> lines_;
    std::function<void()> on_change_;
};

}  // namespace vantu
