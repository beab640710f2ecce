// The analyzer's side of the SCPI link: one command line in, the answer out (none for
// a setting). Settings that the analyzer refuses go to its error queue, which
// :SYST:ERR? reads. The stand-in analyzer serves this on its local socket.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "instruments/analyzer_link.h"
#include "instruments/scpi_error_queue.h"

namespace vantu {

// The stand-in analyzer's socket, in the station directory.
inline constexpr const char* kStandInSocket = ".vantu-vsa.sock";

class ScpiAnalyzerServer {
  public:
    explicit ScpiAnalyzerServer(CCVSA8960& analyzer) : analyzer_(analyzer) {}

    std::optional<std::string> Handle(const std::string& line);

  private:
    std::optional<std::string> Marker(const std::string& header, const std::string& argument);
    void Refused(int status, std::int32_t code, const char* message);
    std::string NextError();

    CCVSA8960& analyzer_;
    std::deque<ScpiError> errors_;
};

}  // namespace vantu
