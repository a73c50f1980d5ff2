// The device service's cost beside the same calls in process, on devices with a long life.
//   bench_service [--history N] [--seconds S]
// 1. a query (GetDeviceInfo) and a ten-position receipt, in process and through the service with
//    one client, the receipt call by call and as one request: median and p99 latency, and their
//    ratio;
// 2. 1, 4 and 16 clients at once for S seconds (default 3): the query on one shared device, the
//    receipt each on a device of its own (a shop's tills): calls or receipts per second, median and
//    p99 latency, and the throughput of 4 and 16 clients beside one;
// 3. where a call's time goes: the processor time the server's thread and the clients spend per
//    call, and the most calls per second the machine's cores allow at that cost. The clients run
//    in this process on the same cores as the server, so that ceiling bounds what many clients can
//    gain over one.
// Every device first issues N receipts (default 2,000) so that its tape and books are not empty.

#include "BenchSupport.h"

#include "DeviceService.h"
#include "RemoteDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <ctime>
#include <memory>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

constexpr int kTills = 16;

bool query(Driver& d)
{
    return d.GetDeviceInfo(DeviceInfo::ShiftOpen) == 1;
}

// The same receipt as one request of a batch of calls, as a client that knows its receipt in
// advance sends it.
QByteArray receiptBatch()
{
    const auto call = [](const QString& member, const QJsonArray& args) {
        return QJsonObject{{u"member"_s, member}, {u"args"_s, args}};
    };
    const auto typed = [](const char* kind, const QJsonValue& value) {
        return QJsonObject{{QString::fromLatin1(kind), value}};
    };
    QJsonArray calls{
        call(u"StartDocument"_s, {typed("int32", DocumentType::Sale), typed("int16", 1),
                                  typed("text", QString()), typed("text", u"Кассир"_s)})};
    for (int i = 0; i < 10; ++i) {
        calls << call(u"Item"_s, {typed("int32", 1000 + i), typed("int32", 1999),
                                  typed("text", u"Товар %1"_s.arg(i)), typed("int32", 0)});
    }
    calls << call(u"Tender2"_s, {typed("double", 50000), typed("general", typed("int16", 8)),
                                 typed("general", QJsonObject()), typed("text", QString())});
    return QJsonDocument(QJsonObject{{u"calls"_s, calls}, {u"stopOnFailure"_s, true}})
        .toJson(QJsonDocument::Compact);
}

bool everyCallSucceeded(const QByteArray& body)
{
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    const QJsonArray answers = answer.value(u"answers"_s).toArray();
    return !answers.isEmpty() && !answer.value(u"stopped"_s).toBool() &&
           std::all_of(answers.begin(), answers.end(), [](const QJsonValue& one) {
               return one.toObject().value(u"result"_s).toInt() == 0;
           });
}

// The processor time so far, in milliseconds, of this process's threads whose name begins with
// `prefix` (the server's thread is named "serve").
double threadsCpuMs(const QByteArray& prefix)
{
    double total = 0;
    const QDir tasks(u"/proc/self/task"_s);
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks.filePath(task + u"/comm"_s));
        QFile stat(tasks.filePath(task + u"/schedstat"_s));
        if (!name.open(QIODevice::ReadOnly) || !name.readAll().startsWith(prefix) ||
            !stat.open(QIODevice::ReadOnly))
            continue;
        total += stat.readAll().split(' ').value(0).toDouble() / 1e6; // nanoseconds on a core
    }
    return total;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(double(values.size()) * share))];
}

// The server on its own thread, as `quolt-device serve` runs it: one event loop, calls one at a
// time.
class ServerThread final : public QThread
{
public:
    ServerThread(QString folder, QList<int> ports) : m_folder(std::move(folder)), m_ports(ports)
    {
        setObjectName(u"serve"_s);
    }
    quint16 port() const { return m_port; }
    QByteArray token() const { return "bench"; }
    void waitUntilListening() { m_ready.acquire(); }

protected:
    void run() override
    {
        QString error;
        std::unique_ptr<service::ServedDevices> devices =
            service::ServedDevices::take(m_folder, m_ports, &error);
        std::unique_ptr<service::DeviceService> server;
        if (devices) {
            server = std::make_unique<service::DeviceService>(
                *devices, m_ports, service::DeviceService::Settings{token(), {}});
            if (server->listenOn(QHostAddress::LocalHost, 0, &error))
                m_port = server->port();
        }
        if (m_port == 0)
            std::fprintf(stderr, "the server did not start: %s\n", qPrintable(error));
        m_ready.release();
        if (m_port != 0)
            exec();
        server.reset();
    }

private:
    QString m_folder;
    QList<int> m_ports;
    quint16 m_port = 0;
    QSemaphore m_ready;
};

struct Load
{
    double perSecond = 0;
    double median = 0;
    double p99 = 0;
    bool failed = false;
    // Processor time per call, in milliseconds, of the server's threads and of the clients.
    double serverCpu = 0;
    double clientCpu = 0;
};

// `clients` threads each repeat `step` on their own driver for `seconds`.
Load underLoad(int clients, int seconds, const std::function<std::unique_ptr<Driver>(int)>& open,
               const std::function<bool(Driver&)>& step)
{
    std::vector<std::vector<double>> times(static_cast<std::size_t>(clients));
    std::vector<double> clientCpu(static_cast<std::size_t>(clients), 0);
    std::atomic_bool failed{false};
    std::vector<std::unique_ptr<QThread>> threads;
    QSemaphore ready;
    QSemaphore go;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            std::unique_ptr<Driver> d = open(i);
            ready.release();
            go.acquire();
            if (!d) {
                failed = true;
                return;
            }
            const double cpuBefore = threadCpuMs();
            const auto end = Clock::now() + std::chrono::seconds(seconds);
            while (Clock::now() < end && !failed) {
                const auto started = Clock::now();
                if (!step(*d))
                    failed = true;
                times[std::size_t(i)].push_back(ms(Clock::now() - started));
            }
            clientCpu[std::size_t(i)] = threadCpuMs() - cpuBefore;
        }));
        threads.back()->start();
    }
    ready.acquire(clients);
    const double serverBefore = threadsCpuMs("serve");
    go.release(clients);
    for (const auto& thread : threads)
        thread->wait();
    const double serverCpu = threadsCpuMs("serve") - serverBefore;
    std::vector<double> all;
    for (const auto& own : times)
        all.insert(all.end(), own.begin(), own.end());
    const double calls = std::max<double>(1, double(all.size()));
    double clientsCpu = 0;
    for (double one : clientCpu)
        clientsCpu += one;
    return {double(all.size()) / seconds,
            median(all),
            percentile(all, 0.99),
            failed.load(),
            serverCpu / calls,
            clientsCpu / calls};
}

std::vector<double> timesOf(Driver& d, int runs, const std::function<bool(Driver&)>& step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto started = Clock::now();
        if (!step(d))
            return {};
        times.push_back(ms(Clock::now() - started));
    }
    return times;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int history = 2000;
    int seconds = 3;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--history")
            history = args[i + 1].toInt();
        else if (args[i] == u"--seconds")
            seconds = std::max(1, args[i + 1].toInt());
    }

    // Sixteen tills, each with a life of receipts behind it, the shift open.
    QTemporaryDir dir;
    QList<int> ports;
    for (int port = 1; port <= kTills; ++port) {
        emulator::EmulatedDriver d(dir.path());
        if (!check(d.SetDriverOpt(DriverOption::Port, port), "SetDriverOpt") || !connect(d) ||
            !check(d.StartSession(u"Кассир"_s, 1), "StartSession"))
            return 1;
        for (int i = 0; i < (port == 1 ? history : history / 10); ++i) {
            if (!tenPositionReceipt(d))
                return 1;
        }
        ports << port;
    }
    std::printf("%d tills; till 1 has issued %d receipts, the others %d each\n", kTills, history,
                history / 10);

    // In process: the floor.
    emulator::EmulatedDriver local(dir.path());
    if (!connect(local))
        return 1;
    const std::vector<double> localQuery = timesOf(local, 2000, query);
    const std::vector<double> localReceipt = timesOf(local, 200, tenPositionReceipt);
    if (localQuery.empty() || localReceipt.empty())
        return 1;

    ServerThread server(dir.path(), ports);
    server.start();
    server.waitUntilListening();
    if (server.port() == 0)
        return 1;
    remote::Endpoint endpoint{u"127.0.0.1"_s, server.port(), server.token()};
    const auto openOn = [&](int port) -> std::unique_ptr<Driver> {
        QString error;
        std::unique_ptr<remote::RemoteDriver> d =
            remote::RemoteDriver::open(endpoint, port, &error);
        if (!d || d->SetPassword(u"735102"_s) != 0 || d->InitDevice() != 0) {
            std::fprintf(stderr, "no session: %s\n", qPrintable(error));
            return nullptr;
        }
        return d;
    };

    std::unique_ptr<Driver> one = openOn(1);
    if (!one)
        return 1;
    const std::vector<double> servedQuery = timesOf(*one, 2000, query);
    const std::vector<double> servedReceipt = timesOf(*one, 200, tenPositionReceipt);
    one.reset();
    if (servedQuery.empty() || servedReceipt.empty())
        return 1;
    std::vector<double> batchReceipt;
    {
        remote::HttpConnection http(endpoint.host, endpoint.port, endpoint.token);
        const QByteArray session =
            QJsonDocument::fromJson(http.send("POST", "/v1/sessions", "{}").body)
                .object()
                .value(u"session"_s)
                .toString()
                .toLatin1();
        const QByteArray path = "/v1/sessions/" + session + "/calls";
        http.send("POST", path,
                  R"({"calls":[{"member":"SetPassword","args":[{"text":"735102"}]},)"
                  R"({"member":"InitDevice"}]})");
        const QByteArray batch = receiptBatch();
        for (int i = 0; i < 200; ++i) {
            const auto started = Clock::now();
            const auto reply = http.send("POST", path, batch);
            batchReceipt.push_back(ms(Clock::now() - started));
            if (reply.status != 200 || !everyCallSucceeded(reply.body))
                return check(1, "the receipt in one request");
        }
    }
    std::printf("\n%-26s %10s %10s %10s %10s %8s\n", "one client", "in process", "p99", "service",
                "p99", "ratio");
    std::printf("%-26s %8.3f ms %7.3f ms %7.3f ms %7.3f ms %7.1fx\n", "query (GetDeviceInfo)",
                median(localQuery), percentile(localQuery, 0.99), median(servedQuery),
                percentile(servedQuery, 0.99), median(servedQuery) / median(localQuery));
    std::printf("%-26s %8.3f ms %7.3f ms %7.3f ms %7.3f ms %7.1fx\n", "ten-position receipt",
                median(localReceipt), percentile(localReceipt, 0.99), median(servedReceipt),
                percentile(servedReceipt, 0.99), median(servedReceipt) / median(localReceipt));
    std::printf("%-26s %8.3f ms %7.3f ms %7.3f ms %7.3f ms %7.1fx\n", "the receipt in one request",
                median(localReceipt), percentile(localReceipt, 0.99), median(batchReceipt),
                percentile(batchReceipt, 0.99), median(batchReceipt) / median(localReceipt));
    std::printf("goal: a query over the service at most 0.2 ms median: %s\n",
                median(servedQuery) <= 0.2 ? "met" : "NOT met");

    std::printf("\n%-8s %12s %9s %9s %12s %9s %9s\n", "clients", "queries/s", "median", "p99",
                "receipts/s", "median", "p99");
    std::vector<std::pair<int, std::pair<Load, Load>>> loads;
    for (int clients : {1, 4, 16}) {
        const Load queries = underLoad(
            clients, seconds, [&](int) { return openOn(1); }, query);
        const Load receipts = underLoad(
            clients, seconds, [&](int i) { return openOn(i + 1); }, tenPositionReceipt);
        if (queries.failed || receipts.failed)
            return 1;
        loads.push_back({clients, {queries, receipts}});
        const Load& one = loads.front().second.first;
        const Load& oneReceipt = loads.front().second.second;
        std::printf("%-8d %12.0f %6.3f ms %6.3f ms %12.1f %6.3f ms %6.3f ms\n", clients,
                    queries.perSecond, queries.median, queries.p99, receipts.perSecond,
                    receipts.median, receipts.p99);
        if (clients > 1)
            std::printf("%-8s %11.1fx %20s %11.1fx   beside one client (goal at 16: 4x)\n", "",
                        queries.perSecond / one.perSecond, "",
                        receipts.perSecond / oneReceipt.perSecond);
    }

    // What the cores allow: every call costs the server's and its client's processor time, and
    // the clients share the cores with the server. At that cost the cores answer at most
    // `ceiling` calls a second, so many clients gain at most ceiling / (one client's rate).
    const int cores = QThread::idealThreadCount();
    std::printf(
        "\nprocessor time per query or receipt (ms), %d cores shared by server and clients\n",
        cores);
    std::printf("%-20s %8s %8s %12s %10s %16s\n", "", "server", "clients", "ceiling/s", "reached",
                "at most vs one");
    for (const auto& [clients, both] : loads) {
        const std::pair<const char*, const Load*> kinds[] = {{"queries", &both.first},
                                                             {"receipts", &both.second}};
        for (const auto& [kind, load] : kinds) {
            const double ceiling = cores * 1000.0 / (load->serverCpu + load->clientCpu);
            const Load& one =
                kind == kinds[0].first ? loads.front().second.first : loads.front().second.second;
            std::printf("%-9s %2d client%s %8.3f %8.3f %12.0f %9.0f%% %15.1fx\n", kind, clients,
                        clients == 1 ? " " : "s", load->serverCpu, load->clientCpu, ceiling,
                        100.0 * load->perSecond / ceiling, ceiling / one.perSecond);
        }
    }
    server.quit();
    server.wait();
    return 0;
}
