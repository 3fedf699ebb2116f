// SPDX-License-Identifier: MIT
#include "web/web_server.hpp"

#include <QAbstractHttpServer>
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>
#include <future>
#include <utility>

#include "base/json_text.hpp"

namespace trakora::web {
namespace {

using Status = QHttpServerResponder::StatusCode;
using Method = QHttpServerRequest::Method;

// The connections: at most `clients` at once, each closed after `idle_ms` without a byte
// either way.
class GuardedTcpServer final : public QTcpServer {
  public:
    GuardedTcpServer(const Limits& limits, QObject* parent) : QTcpServer(parent), limits_(limits) {}

  protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (open_ >= limits_.clients) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        ++open_;
        QObject::connect(socket, &QObject::destroyed, this, [this] { --open_; });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        idle->setInterval(limits_.idle_ms);
        QObject::connect(idle, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        const auto busy = [idle] { idle->start(); };
        QObject::connect(socket, &QTcpSocket::readyRead, idle, busy);
        QObject::connect(socket, &QTcpSocket::bytesWritten, idle, busy);
        idle->start();
        addPendingConnection(socket);
    }

  private:
    Limits limits_;
    int open_ = 0;
};

QByteArray resource(const QString& name) {
    QFile file(QStringLiteral(":/trakora-web/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Equal texts, compared in a time that does not tell how much of the token was right.
bool same_token(const QByteArray& given, const QByteArray& token) {
    if (given.size() != token.size()) return false;
    unsigned char differ = 0;
    for (qsizetype k = 0; k < token.size(); ++k)
        differ |= static_cast<unsigned char>(given[k] ^ token[k]);
    return differ == 0;
}

class Server final : public QAbstractHttpServer {
  public:
    Server(Mailbox& mailbox, QByteArray token, const Limits& limits)
        : mailbox_(mailbox), token_(std::move(token)), limits_(limits) {}

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        QHttpServerResponder responder = makeResponder(request, socket);
        answer(request, responder);
        return true;
    }
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
        makeResponder(request, socket).write(Status::NotFound);
    }

  private:
    void answer(const QHttpServerRequest& request, QHttpServerResponder& responder) {
        const QByteArray header = request.value("X-Trakora-Token");
        const QByteArray given =
            header.isEmpty()
                ? QUrlQuery(request.url()).queryItemValue(QStringLiteral("token")).toUtf8()
                : header;
        if (!same_token(given, token_)) return responder.write(Status::Unauthorized);
        if (request.body().size() > limits_.body_bytes)
            return responder.write(Status::PayloadTooLarge);
        const QString path = request.url().path();
        const bool get = request.method() == Method::Get;
        const auto reply = [&](const QByteArray& body, const QByteArray& type) {
            responder.write(body, {{"Content-Type", type},
                                   {"Cache-Control", "no-store"},
                                   {"Referrer-Policy", "no-referrer"},
                                   {"X-Content-Type-Options", "nosniff"}});
        };
        const auto only = [&](bool right) {
            if (!right) responder.write(Status::MethodNotAllowed);
            return right;
        };
        if (path == QLatin1String("/")) {
            if (only(get))
                reply(resource(QStringLiteral("index.html")), "text/html; charset=utf-8");
        } else if (path == QLatin1String("/words.json")) {
            if (only(get)) reply(resource(QStringLiteral("words.json")), "application/json");
        } else if (path == QLatin1String("/api/state")) {
            if (only(get)) reply(QByteArray::fromStdString(mailbox_.state()), "application/json");
        } else if (path == QLatin1String("/api/cutout.png")) {
            if (!only(get)) return;
            const QByteArray png = mailbox_.cutout();
            if (png.isEmpty()) return responder.write(Status::NotFound);
            reply(png, "image/png");
        } else if (path.startsWith(QLatin1String("/api/action/"))) {
            const std::string name = path.mid(12).toStdString();
            if (!action_named(name, "north")) return responder.write(Status::NotFound);
            if (!only(request.method() == Method::Post)) return;
            const QByteArray body = request.body().trimmed();
            const QJsonDocument document = QJsonDocument::fromJson(body);
            if (!body.isEmpty() && !document.isObject()) return responder.write(Status::BadRequest);
            // The way in the query, else in the body: {"dir": "north"}.
            QString dir = QUrlQuery(request.url()).queryItemValue(QStringLiteral("dir"));
            if (dir.isEmpty()) dir = document.object().value(QLatin1String("dir")).toString();
            const auto action = action_named(name, dir.toStdString());
            if (!action) return responder.write(Status::BadRequest);
            if (const std::string refused = mailbox_.refusal(*action); !refused.empty()) {
                std::string answer = "{\"refused\": ";
                append_json_string(answer, refused);
                answer += "}\n";
                return responder.write(
                    QByteArray::fromStdString(answer),
                    {{"Content-Type", "application/json"}, {"Cache-Control", "no-store"}},
                    Status::Conflict);
            }
            mailbox_.post(*action);
            responder.write(QByteArray("{\"queued\": true}\n"),
                            {{"Content-Type", "application/json"}, {"Cache-Control", "no-store"}},
                            Status::Accepted);
        } else {
            responder.write(Status::NotFound);
        }
    }

    Mailbox& mailbox_;
    QByteArray token_;
    Limits limits_;
};

}  // namespace

std::optional<Action> action_named(std::string_view name, std::string_view dir) {
    if (name == "new-segment") return Action::new_segment;
    if (name == "turn-azimuth") return Action::turn_azimuth;
    if (name == "turn-altitude") return Action::turn_altitude;
    if (name == "new-star") return Action::new_star;
    if (name != "calibrate") return std::nullopt;
    const std::optional<CalibrationMove> move = calibration_named(dir);
    if (!move) return std::nullopt;
    return static_cast<Action>(static_cast<int>(Action::calibrate_north) + static_cast<int>(*move));
}

DriftAction drift_action(Action action) {
    switch (action) {
        case Action::new_segment:
            return DriftAction::new_segment;
        case Action::turn_azimuth:
            return DriftAction::turn_azimuth;
        case Action::turn_altitude:
            return DriftAction::turn_altitude;
        case Action::new_star:
            return DriftAction::new_star;
        case Action::calibrate_north:
        case Action::calibrate_south:
        case Action::calibrate_east:
        case Action::calibrate_west:
            break;
    }
    return DriftAction::calibrate;
}

std::optional<CalibrationMove> calibration_move(Action action) {
    if (drift_action(action) != DriftAction::calibrate) return std::nullopt;
    return static_cast<CalibrationMove>(static_cast<int>(action) -
                                        static_cast<int>(Action::calibrate_north));
}

void Mailbox::publish(std::string state_json, QByteArray cutout_png, Refusals refusals) {
    const std::lock_guard lock(mutex_);
    state_ = std::move(state_json);
    cutout_ = std::move(cutout_png);
    refusals_ = std::move(refusals);
}

std::string Mailbox::refusal(Action action) const {
    const std::lock_guard lock(mutex_);
    const auto found = refusals_.find(drift_action(action));
    return found == refusals_.end() ? std::string() : found->second;
}

std::string Mailbox::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

QByteArray Mailbox::cutout() const {
    const std::lock_guard lock(mutex_);
    return cutout_;
}

void Mailbox::post(Action action) {
    const std::lock_guard lock(mutex_);
    actions_.push_back(action);
}

std::vector<Action> Mailbox::take_actions() {
    const std::lock_guard lock(mutex_);
    return std::exchange(actions_, {});
}

// The thread the server lives in: it makes the server, listens, says how that went, and
// runs its event loop until told to quit.
struct WebServer::Thread final : QThread {
    Mailbox& mailbox;
    QByteArray token;
    Limits limits;
    ServeAddress at;
    std::promise<std::string> listening;  // "" once listening, else the reason
    std::uint16_t port = 0;

    Thread(Mailbox& m, std::string t, Limits l)
        : mailbox(m), token(QByteArray::fromStdString(t)), limits(l) {}

    void run() override {
        Server server(mailbox, token, limits);
        auto* tcp = new GuardedTcpServer(limits, &server);
        if (!tcp->listen(QHostAddress(QString::fromStdString(at.host)), at.port)) {
            listening.set_value(tcp->errorString().toStdString());
            return;
        }
        port = tcp->serverPort();
        server.bind(tcp);
        listening.set_value("");
        exec();
    }
};

// Qt's application object, when the program has none of its own.
struct WebServer::Application {
    int argc = 1;
    char name[12] = "trakora-web";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
};

WebServer::WebServer(Mailbox& mailbox, std::string token, Limits limits)
    : thread_(std::make_unique<Thread>(mailbox, std::move(token), limits)) {}

WebServer::~WebServer() {
    thread_->quit();
    thread_->wait();
}

bool WebServer::start(const ServeAddress& at, std::string* error) {
    if (!QCoreApplication::instance()) application_ = std::make_unique<Application>();
    thread_->at = at;
    std::future<std::string> outcome = thread_->listening.get_future();
    thread_->start();
    std::string reason = outcome.get();
    if (reason.empty()) return true;
    thread_->wait();
    if (error)
        *error = "cannot listen at " + at.host + ":" + std::to_string(at.port) + ": " + reason;
    return false;
}

std::uint16_t WebServer::port() const { return thread_->port; }

std::string WebServer::url() const {
    return "http://" + thread_->at.host + ":" + std::to_string(thread_->port) +
           "/?token=" + thread_->token.toStdString();
}

std::string WebServer::phone_url() const {
    if (thread_->at.host != "0.0.0.0") return url();
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return "http://" + address.toString().toStdString() + ":" +
                   std::to_string(thread_->port) + "/?token=" + thread_->token.toStdString();
    return url();
}

}  // namespace trakora::web
