// Stand-ins for what the main page talks to: the controller command message and the
// colour chooser.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "model/command_sink.h"
#include "widgets/colour_chooser.h"

namespace vantu::testing {

using Command = std::pair<int, std::intptr_t>;

class RecordingCommands : public CommandSink {
  public:
    int Send(int code, std::intptr_t argument) override {
        sent.emplace_back(code, argument);
        return 0;
    }
    void Post(int code, std::intptr_t argument) override { posted.emplace_back(code, argument); }

    std::vector<Command> sent;
    std::vector<Command> posted;
};

class ScriptedColours : public ColourChooser {
  public:
    std::optional<Colour> Choose(Colour preset) override {
        presets.push_back(preset);
        if (answers.empty()) {
            return std::nullopt;
        }
        const std::optional<Colour> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The next answers in order; none queued means cancelled.
    std::deque<std::optional<Colour>> answers;
    std::vector<Colour> presets;
};

}  // namespace vantu::testing
