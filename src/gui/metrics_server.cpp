#include "gui/metrics_server.h"

#include <sys/resource.h>
#include <sys/socket.h>

#include <QHostAddress>

#include <cstdio>
#include <filesystem>
#include <iterator>

#include "metrics/content_negotiation.h"
#include "metrics/http_response.h"

namespace vantu {
namespace {

// What a refused client may still send after its answer before it is cut off.
constexpr std::size_t kMaxDrainBytes = 64 * 1024;
// How long accepting pauses when the process is out of descriptors.
constexpr int kAcceptRetryMs = 250;

int OpenDescriptors() {
    std::error_code error;
    const std::filesystem::directory_iterator fds("/proc/self/fd", error);
    return error ? 0 : static_cast<int>(std::distance(fds, std::filesystem::directory_iterator()));
}

std::string ClientAddress(const QTcpSocket& socket) {
    QHostAddress address = socket.peerAddress();
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    return (mapped ? QHostAddress(v4) : address).toString().toStdString();
}

// The whole response to a request the endpoint serves, from its snapshot alone.
std::string MakeResponse(const MetricsDocument& document, const StationSnapshot& snapshot,
                         const HttpRequest& request, std::size_t max_unsent_bytes) {
    MetricsBody body = document.render(snapshot, request);
    const bool gzip = HeaderAccepts(request.Header("accept-encoding"), "gzip");
    if (gzip) {
        body.bytes = Gzip(body.bytes);
    }
    if (body.bytes.size() > max_unsent_bytes) {
        return HttpResponse(503, {}, {});
    }
    return HttpResponse(200, body.content_type, body.bytes, request.method == "HEAD",
                        gzip ? "gzip" : "");
}

}  // namespace

MetricsServer::MetricsServer(SnapshotSource snapshot, Clock& clock, const MetricsLimits& limits)
    : snapshot_(std::move(snapshot)), clock_(clock), limits_(limits) {
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { AcceptConnections(); });
    QObject::connect(&server_, &QTcpServer::acceptError, [this] { ResumeAcceptingLater(); });
    renderer_.setMaxThreadCount(1);
}

// A response still being made is waited for; its hand-back goes with answers_.
MetricsServer::~MetricsServer() {
    renderer_.clear();
    renderer_.waitForDone();
    for (auto& [socket, connection] : connections_) {
        socket->disconnect();
        socket->abort();
    }
}

bool MetricsServer::Listen(const MetricsEndpoint& endpoint) {
    const QHostAddress address(QString::fromStdString(endpoint.address));
    if (address.isNull() || !server_.listen(address, static_cast<quint16>(endpoint.port))) {
        std::fprintf(stderr, "vantu: metrics cannot listen on %s port %d\n",
                     endpoint.address.c_str(), endpoint.port);
        return false;
    }
    std::fprintf(stderr, "vantu: metrics on http://%s:%d/metrics\n", endpoint.address.c_str(),
                 port());
    return true;
}

// Qt pauses accepting when it runs out of descriptors; it is taken up again later.
void MetricsServer::ResumeAcceptingLater() {
    server_.pauseAccepting();
    QTimer::singleShot(kAcceptRetryMs, &server_, [this] { server_.resumeAccepting(); });
}

bool MetricsServer::HasRoom() const {
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    return static_cast<int>(connections_.size()) < limits_.max_connections &&
           (limit.rlim_cur == RLIM_INFINITY ||
            static_cast<rlim_t>(OpenDescriptors() + limits_.descriptor_reserve) <= limit.rlim_cur);
}

void MetricsServer::AcceptConnections() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (!HasRoom()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto connection = std::make_unique<Connection>();
        Connection& c = *connection;
        c.socket = socket;
        c.client = ClientAddress(*socket);
        c.serial = ++next_serial_;
        connections_.emplace(socket, std::move(connection));
        socket->setReadBufferSize(static_cast<qint64>(kMaxMetricsRequestBytes) + 1);
        c.deadline = new QTimer(socket);
        c.deadline->setSingleShot(true);
        QObject::connect(c.deadline, &QTimer::timeout, [this, socket] { Drop(socket); });
        c.deadline->start(limits_.connection_ms);
        QObject::connect(socket, &QTcpSocket::readyRead, [this, &c] { Read(c); });
        QObject::connect(socket, &QTcpSocket::bytesWritten, [this, &c] { FinishWhenSent(c); });
        QObject::connect(socket, &QTcpSocket::disconnected, [this, socket] { Drop(socket); });
        Read(c);
    }
}

void MetricsServer::Read(Connection& connection) {
    const QByteArray bytes = connection.socket->readAll();
    if (connection.read) {
        connection.drained += static_cast<std::size_t>(bytes.size());
        if (connection.drained > kMaxDrainBytes) {
            Drop(connection.socket);
        }
        return;
    }
    if (connection.reader.Feed(
            std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))) ==
        HttpRequestReader::State::kReading) {
        return;
    }
    connection.read = true;
    if (const std::optional<std::string> refusal = Refusal(connection)) {
        Answer(connection, *refusal);
        return;
    }
    RespondLater(connection, *FindMetricsDocument(connection.reader.request().target));
}

std::optional<std::string> MetricsServer::Refusal(const Connection& connection) {
    const HttpRequestReader& reader = connection.reader;
    if (reader.state() == HttpRequestReader::State::kRefused) {
        return HttpResponse(reader.refusal(), {}, {});
    }
    if (FindMetricsDocument(reader.request().target) == nullptr) {
        return HttpResponse(404, {}, {});
    }
    if (!rates_.Admit(connection.client, clock_.Microseconds())) {
        return HttpResponse(429, {}, {});
    }
    return std::nullopt;
}

// The snapshot is taken here in one go, so the response shows one moment of the models.
void MetricsServer::RespondLater(const Connection& connection, const MetricsDocument& document) {
    renderer_.start([this, &document, snapshot = snapshot_(), request = connection.reader.request(),
                     socket = connection.socket, serial = connection.serial,
                     max_unsent = limits_.max_unsent_bytes] {
        std::string response = MakeResponse(document, snapshot, request, max_unsent);
        QMetaObject::invokeMethod(
            &answers_,
            [this, socket, serial, response = std::move(response)] {
                AnswerMade(socket, serial, response);
            },
            Qt::QueuedConnection);
    });
}

void MetricsServer::AnswerMade(QTcpSocket* socket, std::uint64_t serial,
                               const std::string& response) {
    const auto found = connections_.find(socket);
    if (found != connections_.end() && found->second->serial == serial) {
        Answer(*found->second, response);
    }
}

void MetricsServer::Answer(Connection& connection, const std::string& response) {
    connection.answered = true;
    connection.socket->write(response.data(), static_cast<qint64>(response.size()));
    FinishWhenSent(connection);
}

void MetricsServer::FinishWhenSent(Connection& connection) {
    QTcpSocket* socket = connection.socket;
    if (connection.answered && socket->bytesToWrite() == 0) {
        ::shutdown(static_cast<int>(socket->socketDescriptor()), SHUT_WR);
    }
}

void MetricsServer::Drop(QTcpSocket* socket) {
    const auto found = connections_.find(socket);
    if (found == connections_.end()) {
        return;
    }
    found->second->deadline->stop();
    found->second->deadline->disconnect();
    socket->disconnect();
    socket->abort();
    socket->deleteLater();
    connections_.erase(found);
}

}  // namespace vantu
