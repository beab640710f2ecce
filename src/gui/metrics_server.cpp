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

}  // namespace

MetricsServer::MetricsServer(SnapshotSource snapshot, Clock& clock, const MetricsLimits& limits)
    : snapshot_(std::move(snapshot)), clock_(clock), limits_(limits) {
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { AcceptConnections(); });
    QObject::connect(&server_, &QTcpServer::acceptError, [this] { ResumeAcceptingLater(); });
}

MetricsServer::~MetricsServer() {
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
    if (connection.answered) {
        connection.drained += static_cast<std::size_t>(bytes.size());
        if (connection.drained > kMaxDrainBytes) {
            Drop(connection.socket);
        }
        return;
    }
    if (connection.reader.Feed(
            std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))) !=
        HttpRequestReader::State::kReading) {
        Answer(connection, Respond(connection));
    }
}

std::string MetricsServer::Respond(const Connection& connection) {
    const HttpRequestReader& reader = connection.reader;
    if (reader.state() == HttpRequestReader::State::kRefused) {
        return HttpResponse(reader.refusal(), {}, {});
    }
    const MetricsDocument* document = FindMetricsDocument(reader.request().target);
    if (document == nullptr) {
        return HttpResponse(404, {}, {});
    }
    if (!rates_.Admit(connection.client, clock_.Microseconds())) {
        return HttpResponse(429, {}, {});
    }
    MetricsBody body = document->render(snapshot_(), reader.request());
    const bool gzip = HeaderAccepts(reader.request().Header("accept-encoding"), "gzip");
    if (gzip) {
        body.bytes = Gzip(body.bytes);
    }
    const bool head_only = reader.request().method == "HEAD";
    if (body.bytes.size() > limits_.max_unsent_bytes) {
        return HttpResponse(503, {}, {});
    }
    return HttpResponse(200, body.content_type, body.bytes, head_only, gzip ? "gzip" : "");
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
