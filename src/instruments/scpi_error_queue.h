// The instrument's error queue, read with :SYST:ERR? after every setting until it
// answers 0 ("0,\"No error\"").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instruments/scpi_connection.h"

namespace vantu {

struct ScpiError {
    std::int32_t code = 0;
    std::string message;
};

enum class QueueState { kEmpty, kErrors, kSilent };

// Reads at most kMaxEntries entries; the non-zero ones are appended to errors.
// An instrument that never reports an empty queue counts as silent.
QueueState DrainScpiErrors(ScpiConnection& connection, std::vector<ScpiError>& errors);

// "-222,\"Data out of range\"" as code and message.
ScpiError ParseScpiError(const std::string& answer);

}  // namespace vantu
