// The read-only endpoint for monitoring systems: GET /metrics (OpenMetrics) and GET
// /status.json, both from a snapshot of the controller's models. It is the station's own
// small HTTP/1.1 server on QTcpServer, bounded everywhere (see MetricsLimits): one request
// per connection, its head read with a size bound and a body never read. The snapshot is
// taken on the GUI thread; its text, gzip and response bytes are made on a thread of the
// server's own, so a scrape costs the GUI thread little more than the copy.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThreadPool>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "base/ports.h"
#include "metrics/http_request.h"
#include "metrics/http_response.h"
#include "metrics/metrics_settings.h"
#include "metrics/request_limits.h"
#include "metrics/station_snapshot.h"

namespace vantu {

class MetricsServer {
  public:
    using SnapshotSource = std::function<StationSnapshot()>;

    MetricsServer(SnapshotSource snapshot, Clock& clock, const MetricsLimits& limits = {});
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // False, with one line on standard error, when the address cannot be served.
    bool Listen(const MetricsEndpoint& endpoint);
    // The port listened on; for a server started on port 0.
    int port() const { return server_.serverPort(); }

  private:
    struct Connection {
        QTcpSocket* socket = nullptr;
        HttpRequestReader reader;
        // A child of the socket, so it goes with it.
        QTimer* deadline = nullptr;
        std::string client;
        // Tells this connection from a later one whose socket has the same address.
        std::uint64_t serial = 0;
        // The request is read: what else comes is drained.
        bool read = false;
        bool answered = false;
        std::size_t drained = 0;
    };

    void AcceptConnections();
    // Room for one more connection, within the cap and the descriptor reserve.
    bool HasRoom() const;
    void Read(Connection& connection);
    // The answer when it needs no snapshot: refusals, 404 and 429; nullopt otherwise.
    std::optional<std::string> Refusal(const Connection& connection);
    // Takes the snapshot and has the response made off the GUI thread.
    void RespondLater(const Connection& connection, const MetricsDocument& document);
    // A response made off the GUI thread, for a connection that may have gone meanwhile.
    void AnswerMade(QTcpSocket* socket, std::uint64_t serial, const std::string& response);
    void Answer(Connection& connection, const std::string& response);
    // Once the response has left, the write side is shut and what the client still
    // sends is read and dropped, so that closing does not reset the response away.
    void FinishWhenSent(Connection& connection);
    void Drop(QTcpSocket* socket);
    void ResumeAcceptingLater();

    QTcpServer server_;
    SnapshotSource snapshot_;
    Clock& clock_;
    MetricsLimits limits_;
    ClientRates rates_;
    std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
    std::uint64_t next_serial_ = 0;
    // Where made responses are handed back to the GUI thread; gone with the server.
    QObject answers_;
    // Destroyed first: it waits for the response being made.
    QThreadPool renderer_;
};

}  // namespace vantu
