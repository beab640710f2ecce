// vantu-remote: sends command lines to a station's remote control and prints the
// replies, for test engineers at a shell.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vantu {

inline constexpr int kRemoteToolConnectionFailed = 1;
inline constexpr int kRemoteToolUsageError = 2;
inline constexpr int kRemoteToolNoReply = 3;
// With --fail-exit: a command was answered with a failure token.
inline constexpr int kRemoteToolCommandFailed = 4;

// args without the program name. Commands come from args, or from in when there are
// none. The exit status.
int RunRemoteTool(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
                  std::ostream& err);

}  // namespace vantu
