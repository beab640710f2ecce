// The instrument's error queue, read with :SYST:ERR? after every setting until it
// answers 0 ("0,\"No error\"").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "instruments/scpi_connection.h"

namespace vantu {

// SCPI's "device-specific error", for an error-queue answer that is no entry.
inline constexpr std::int32_t kUnreadableError = -300;

struct ScpiError {
    std::int32_t code = 0;
    std::string message;
};

enum class QueueState { kEmpty, kErrors, kSilent };

// Reads at most kMaxEntries entries; the non-zero ones are appended to errors.
// An instrument that never reports an empty queue counts as silent. An answer that is
// not "<code>,<message>" ends the reading as an error (kUnreadableError): it may be
// any other answer, and an empty queue cannot be concluded from it.
QueueState DrainScpiErrors(ScpiConnection& connection, std::vector<ScpiError>& errors);

// "-222,\"Data out of range\"" as code and message; none when the answer does not
// start with a whole number and a comma.
std::optional<ScpiError> ParseScpiError(const std::string& answer);

}  // namespace vantu
