#include "instruments/instrument_text.h"

#include <array>

#include "remote/command_words.h"

namespace vantu {
namespace {

enum class Operation { kMarker, kAllMarkers, kCenter, kSpan };

struct TextCommand {
    std::string_view word;
    Operation operation;
    int marker;
    std::string_view done_text;
    std::string_view fail_text;
};

constexpr std::array<TextCommand, 7> kTextCommands = {{
    {"TRACE_A_FREQ", Operation::kMarker, 1, "[GUI] VSA Set Marker 1 : 正常",
     "[GUI] VSA Set Marker 1 : 異常"},
    {"TRACE_B_FREQ", Operation::kMarker, 2, "[GUI] VSA Set Marker 2 : 正常",
     "[GUI] VSA Set Marker 2 : 異常"},
    {"TRACE_C_FREQ", Operation::kMarker, 3, "[GUI] VSA Set Marker 3 : 正常",
     "[GUI] VSA Set Marker 3 : 異常"},
    {"TRACE_D_FREQ", Operation::kMarker, 4, "[GUI] VSA Set Marker 4 : 正常",
     "[GUI] VSA Set Marker 4 : 異常"},
    {"TRACE_ALL_FREQ", Operation::kAllMarkers, 0, "[GUI] VSA Set Marker All : 正常",
     "[GUI] VSA Set Marker All : 異常"},
    {"VSACENTER", Operation::kCenter, 0, "[GUI] VSA Set Freq Center : 正常",
     "[GUI] VSA Set Freq Center : 異常"},
    {"VSASPAN", Operation::kSpan, 0, "[GUI] VSA Set Freq Span : 正常",
     "[GUI] VSA Set Freq Span : 異常"},
}};

}  // namespace

bool InstrumentText::Interpret(std::string_view text) {
    const std::string_view word = FirstWord(text);
    for (const TextCommand& command : kTextCommands) {
        if (word != command.word) {
            continue;
        }
        int result = 0;
        switch (command.operation) {
            case Operation::kMarker:
                result = analyzer_.SetMarkerFrequency(text, command.marker);
                break;
            case Operation::kAllMarkers:
                result = analyzer_.SetAllMarkerFrequencies(text);
                break;
            case Operation::kCenter:
                result = analyzer_.SetCenterFrequency(text);
                break;
            case Operation::kSpan:
                result = analyzer_.SetSpan(text);
                break;
        }
        messages_.Report(result == 0 ? command.done_text : command.fail_text);
        return true;
    }
    return false;
}

}  // namespace vantu
