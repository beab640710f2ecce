#include "metrics/http_request.h"

#include <algorithm>
#include <cctype>

#include "metrics/request_limits.h"

namespace vantu {
namespace {

constexpr std::string_view kEndOfHead = "\r\n\r\n";

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// A body of any length is more than a GET may bring.
bool AnnouncesBody(const HttpRequest& request) {
    const std::optional<std::string_view> length = request.Header("content-length");
    return request.Header("transfer-encoding").has_value() || (length && *length != "0");
}

}  // namespace

std::optional<std::string_view> HttpRequest::Header(std::string_view lower_name) const {
    for (const auto& [name, value] : headers) {
        if (name == lower_name) {
            return value;
        }
    }
    return std::nullopt;
}

HttpRequestReader::State HttpRequestReader::Feed(std::string_view bytes) {
    if (state_ != State::kReading) {
        return state_;
    }
    // Only what can still belong to a head of the bounded size is kept.
    const std::size_t room = kMaxMetricsRequestBytes + 1 - head_.size();
    head_.append(bytes.substr(0, room));
    const std::size_t end = head_.find(kEndOfHead);
    if (end == std::string::npos) {
        return head_.size() > kMaxMetricsRequestBytes ? Refuse(413) : state_;
    }
    return Parse(std::string_view(head_).substr(0, end + 2));
}

HttpRequestReader::State HttpRequestReader::Refuse(int status) {
    refusal_ = status;
    head_.clear();
    return state_ = State::kRefused;
}

// head: the request line and header lines, each ending in CR LF.
HttpRequestReader::State HttpRequestReader::Parse(std::string_view head) {
    const std::size_t line_end = head.find("\r\n");
    const std::string_view line = head.substr(0, line_end);
    const std::size_t first = line.find(' ');
    const std::size_t second = line.find(' ', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos ||
        !line.substr(second + 1).starts_with("HTTP/1.")) {
        return Refuse(400);
    }
    request_.method = line.substr(0, first);
    request_.target = line.substr(first + 1, second - first - 1);
    for (std::size_t at = line_end + 2; at < head.size();) {
        const std::size_t end = head.find("\r\n", at);
        if (request_.headers.size() == kMaxRequestHeaders) {
            return Refuse(431);
        }
        if (!ParseHeaderLine(head.substr(at, end - at))) {
            return Refuse(400);
        }
        at = end + 2;
    }
    if (AnnouncesBody(request_)) {
        return Refuse(413);
    }
    if (request_.method != "GET" && request_.method != "HEAD") {
        return Refuse(405);
    }
    head_.clear();
    return state_ = State::kComplete;
}

bool HttpRequestReader::ParseHeaderLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) {
        return false;
    }
    request_.headers.emplace_back(Lower(line.substr(0, colon)),
                                  std::string(TrimBlanks(line.substr(colon + 1))));
    return true;
}

}  // namespace vantu
