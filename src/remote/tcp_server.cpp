#include "remote/tcp_server.h"

#include "base/encoding.h"
#include "remote/received_text.h"

namespace vantu {
namespace {

constexpr std::string_view kReceivedPrefix = "[TCP] 伺服端接收 : ";
constexpr std::string_view kSentPrefix = "[TCP] 伺服端傳送 : ";
constexpr std::string_view kNotSupported = "[TCP] 指令格式 : 不支援";

}  // namespace

CCServer::CCServer(const ServerContext& context, CommandDispatch& dispatch)
    : ctx_(context), dispatch_(dispatch) {}

int CCServer::OpenServer() {
    switch (ctx_.transport.Listen()) {
        case ListenResult::kSocketLayerFailed:
            ListAndLog("[TCP] 伺服器 : 初始化異常");
            return 1;
        case ListenResult::kCreateFailed:
            ListAndLog("[TCP] 伺服器 : 開啟異常");
            return 1;
        case ListenResult::kListenFailed:
            ListAndLog("[TCP] 伺服器 : 監控異常");
            return 1;
        case ListenResult::kListening:
            break;
    }
    List("[TCP] 伺服器 : 已開啟備便");
    ctx_.flags.server_open = true;
    Log("[TCP] 伺服器 : 已開啟備便");
    return 0;
}

void CCServer::CloseServer() {
    if (!ctx_.flags.server_open) {
        return;
    }
    Log("[TCP] 伺服器通訊 : 已關閉");
    ctx_.transport.CloseClient();
    ctx_.transport.CloseListener();
    ctx_.flags.server_open = false;
}

int CCServer::SendReply(std::string_view text) {
    if (text.empty()) {
        return 1;
    }
    if (client_dropped_) {
        return 0;
    }
    std::string bytes = ToAnsi(text);
    bytes += kCr;
    if (ctx_.transport.SendToClient(bytes) == SendResult::kClientDropped) {
        LoseDroppedClient();
        return 0;
    }
    List(std::string(kSentPrefix) + std::string(text));
    TrimList();
    return 0;
}

void CCServer::Gathered(const std::function<void()>& command) {
    ctx_.transport.GatherReplies(true);
    command();
    if (ctx_.transport.GatherReplies(false) == SendResult::kClientDropped) {
        LoseDroppedClient();
    }
}

void CCServer::AnswerNotSupported() {
    List(kNotSupported);
    SendReply("NOT_SUPPORT");
    List(kListSeparator);
    Log(kNotSupported);
    Log(kLogSeparator);
}

void CCServer::List(std::string_view text) {
    ctx_.messages.Add(text);
}

void CCServer::Log(std::string_view text) {
    ctx_.logs.AppendLog(text);
}

void CCServer::ListAndLog(std::string_view text) {
    List(text);
    Log(text);
}

void CCServer::Separators() {
    List(kListSeparator);
    Log(kLogSeparator);
}

void CCServer::TrimList() {
    ctx_.messages.Trim();
}

void CCServer::OnConnectionRequested() {
    // The displaced connection is closed rather than forgotten, and its half-received
    // message does not run into the new client's first command.
    ctx_.transport.CloseClient();
    client_.Reset();
    client_dropped_ = false;
    ListAndLog("[TCP] 伺服端 : 用戶端已請求連線 ...");
    Separators();
    ctx_.transport.AcceptPending();
}

void CCServer::OnDataReceived(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size() && !client_dropped_; pos += kMaxChunkBytes) {
        client_.Receive(bytes.substr(pos, kMaxChunkBytes));
    }
}

void CCServer::OnPeerClosed() {
    ListAndLog("[TCP] 用戶端連線 : 已關閉");
}

void CCServer::OnConnectionRefused(std::string_view address) {
    ListAndLog("[TCP] 伺服端 : 已拒絕用戶端連線 " + std::string(address));
}

void CCServer::LoseDroppedClient() {
    client_dropped_ = true;
    client_.Reset();
    ListAndLog("[TCP] 用戶端連線 : 已關閉");
}

void CCServer::BeginMessage() {
    Log("[TCP] CALC Time Start : 0 us");
    ctx_.elapsed.MarkElapsedStart();
}

void CCServer::ProcessReceivedText(std::string_view message) {
    if (client_dropped_) {
        return;
    }
    BeginMessage();
    std::string line;
    for (char byte : message) {
        if (byte != kCr) {
            line += byte;
            continue;
        }
        if (line.empty()) {
            continue;
        }
        if (client_dropped_) {
            break;
        }
        const std::string text = DecodeReceivedLine(line);
        line.clear();
        ListAndLog(std::string(kReceivedPrefix) + ShowControlCharacters(text));
        Gathered([&] { dispatch_.DispatchCommand(text); });
    }
    TrimList();
}

void CCServer::ProcessOverlongLine() {
    if (client_dropped_) {
        return;
    }
    BeginMessage();
    ListAndLog(std::string(kReceivedPrefix) + "指令過長");
    Gathered([this] { dispatch_.DispatchOverlongLine(); });
    TrimList();
}

}  // namespace vantu
