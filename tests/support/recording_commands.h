// A command sink that records the controller command messages a page sends and posts.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "controller/command_sink.h"

namespace vantu::testing {

using Command = std::pair<int, std::intptr_t>;

struct RecordingCommands : CommandSink {
    int Send(int code, std::intptr_t argument) override {
        sent.emplace_back(code, argument);
        return 0;
    }
    void Post(int code, std::intptr_t argument) override { posted.emplace_back(code, argument); }

    std::vector<Command> sent;
    std::vector<Command> posted;
};

}  // namespace vantu::testing
