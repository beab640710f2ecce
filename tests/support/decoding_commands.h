// The controller's side of code 10 on a real decoder: sent module requests decode at
// once, posted ones on Drain; and a decoder to serve it.
#pragma once

#include <deque>
#include <utility>

#include "controller/command_sink.h"
#include "controller/controller_commands.h"
#include "status/module_requests.h"

namespace vantu::testing {

struct DecodingCommands : CommandSink {
    explicit DecodingCommands(StatusDecoder& d) : decoder(d) {}
    int Send(int code, std::intptr_t argument) override {
        ++sent;
        Apply(code, argument);
        return 0;
    }
    void Post(int code, std::intptr_t argument) override { posted.emplace_back(code, argument); }
    void Drain() {
        for (; !posted.empty(); posted.pop_front()) {
            Apply(posted.front().first, posted.front().second);
        }
    }
    void Apply(int code, std::intptr_t argument) {
        if (code == kCodeModuleRequest) {
            ApplyModuleViewRequest(decoder, *reinterpret_cast<const ModuleViewRequest*>(argument));
        }
    }

    StatusDecoder& decoder;
    int sent = 0;
    std::deque<std::pair<int, std::intptr_t>> posted;
};

// A real decoder over the built module table, a zero report read whole and default
// settings.
struct DecoderRig {
    DecoderRig() {
        BuildModuleTable(table);
        for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
            report.MarkCaptured(block);
        }
    }

    ModuleTable table;
    ReportMemory report;
    SharedSettings shared;
    StatusDecoder decoder{table, report, shared};
};

}  // namespace vantu::testing
