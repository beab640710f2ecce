// The head of one HTTP/1.1 request, read with bounds before anything is served: the
// endpoint takes GET (and HEAD) without a body, so a body is refused before a byte of
// it is read, and so is a head over the size or header-count bound.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantu {

inline constexpr std::size_t kMaxRequestHeaders = 64;

struct HttpRequest {
    std::string method;
    // Path and query as sent.
    std::string target;
    // Names in lower case, values without surrounding blanks, in the order sent.
    std::vector<std::pair<std::string, std::string>> headers;

    std::optional<std::string_view> Header(std::string_view lower_name) const;
};

class HttpRequestReader {
  public:
    enum class State { kReading, kComplete, kRefused };

    // Takes bytes as they arrive; once complete or refused, more bytes change nothing
    // (a second, pipelined request is never read).
    State Feed(std::string_view bytes);

    State state() const { return state_; }
    const HttpRequest& request() const { return request_; }
    // The status a refused request is answered with: 400, 405, 413 or 431.
    int refusal() const { return refusal_; }

  private:
    State Refuse(int status);
    State Parse(std::string_view head);
    bool ParseHeaderLine(std::string_view line);

    State state_ = State::kReading;
    std::string head_;
    HttpRequest request_;
    int refusal_ = 0;
};

}  // namespace vantu
