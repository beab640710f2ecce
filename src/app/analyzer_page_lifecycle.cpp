#include "app/analyzer_page_lifecycle.h"

namespace vantu {

AnalyzerPageLifecycle::AnalyzerPageLifecycle(const AnalyzerPageLifecycleContext& context)
    : shared_(context.shared),
      messages_(context.tcp_messages, context.logs),
      generator_(GeneratorContext{context.generator, state_.generator, messages_, context.shared,
                                  context.console}),
      analyzer_(AnalyzerContext{context.link, state_.analyzer, state_.generator, messages_,
                                context.shared, context.timers, context.poster, context.clock,
                                context.prompts, context.windows, context.station_dir,
                                context.program, context.launch, context.stop_control_code,
                                context.recall_dir}),
      commands_(InstrumentCommandContext{context.server, generator_, state_.generator, analyzer_,
                                         context.main_page}),
      text_(analyzer_, messages_) {}

void AnalyzerPageLifecycle::Shown() {
    if (shared_.vsa_open) {
        analyzer_.PlaceAnalyzerWindow(kPlaceShown);
    }
}

void AnalyzerPageLifecycle::Hidden() {
    if (shared_.vsa_open) {
        analyzer_.PlaceAnalyzerWindow(kPlaceBehind);
    }
}

void AnalyzerPageLifecycle::Shutdown() {
    analyzer_.StopTriggerAtExit();
    generator_.Shutdown();
    analyzer_.OfferCloseAtExit();
}

}  // namespace vantu
