#include "remote/remote_control.h"

namespace vantu {

RemoteControl::RemoteControl(const RemoteContext& context)
    : server_(ServerContext{context.transport, context.logs, context.analyzer_page.tcp_messages,
                            context.flags, context.elapsed},
              dispatcher_),
      dispatcher_(server_, context.flags, context.timers, &context.clock),
      chassis_(ChassisContext{server_, context.elapsed, context.card, context.flags, context.clock,
                              context.settings, context.loader, context.opcode_table,
                              context.run_control, context.main_page, context.analyzer_page}),
      gated_events_(context.gate, context.transport, server_) {
    dispatcher_.AddCommands(chassis_);
}

}  // namespace vantu
