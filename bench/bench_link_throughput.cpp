// Packages per second through the production link (serial device, receive and
// transmit threads, the link's waits) to ecr-sim on a pseudo-terminal at
// 115200 bit/s, and the CPU time this process spends per package.
//
//   bench_link_throughput [--count N] [--wire-time] [--no-trace]
//
// Without --wire-time the simulator answers at once, so the figures are the
// program's own overhead. With --wire-time it takes as long as a real line
// and the table compares the time per package with what the line needs.
#include "../tests/support/SimProcess.h"

#include "link/Frame.h"
#include "link/QelmIBus.h"
#include "link/RegisterLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

constexpr quint8 kParameterDownload = 1;
constexpr quint8 kParameterUpload = 5;
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit
constexpr double kLineRate = 115200.0;

struct Options {
    int count = 1000;
    bool wireTime = false;
    bool trace = true;
};

bool ParseOptions(const QStringList& arguments, Options& options)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--wire-time")) {
            options.wireTime = true;
        } else if (argument == QLatin1String("--no-trace")) {
            options.trace = false;
        } else if (argument == QLatin1String("--count") && i + 1 < arguments.size()) {
            bool ok = false;
            options.count = arguments[++i].toInt(&ok);
            if (!ok || options.count < 1)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

double CpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What a line at 115200 bit/s needs for one frame and its answer.
double WireMs(int bytesSent, int bytesAnswered)
{
    return double(bytesSent + bytesAnswered) * kBitsPerByte / kLineRate * 1000.0;
}

struct Result {
    const char* name;
    int packages;
    int failures;
    int retries;
    double wallSeconds;
    double cpuSeconds;
    double wireMsPerPackage;
};

Result Measure(const char* name, TQelmIBusComm& link, int count, double wireMsPerPackage,
               const std::function<bool(int)>& transfer)
{
    const qsizetype retriesBefore = link.TraceLines().filter(QStringLiteral("Retry:")).size();
    int failures = 0;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < count; ++i) {
        if (!transfer(i))
            ++failures;
    }
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpuSeconds = CpuSeconds() - cpuBefore;
    const auto retries = int(link.TraceLines().filter(QStringLiteral("Retry:")).size() - retriesBefore);
    return {name, count, failures, retries, wallSeconds, cpuSeconds, wireMsPerPackage};
}

void PrintTable(const QList<Result>& results, const Options& options)
{
    std::printf("ecr-sim over a pseudo-terminal at 115200 bit/s%s, trace %s\n\n",
                options.wireTime ? " with wire time" : "", options.trace ? "on" : "off");
    std::printf("%-14s %8s %9s %10s %10s %12s", "operation", "packages", "wall s", "packages/s", "ms/package",
                "CPU ms/pkg");
    if (options.wireTime)
        std::printf(" %10s %7s", "wire ms", "ratio");
    std::printf(" %8s %8s\n", "retries", "failed");
    for (const Result& r : results) {
        const double msPerPackage = r.wallSeconds * 1000.0 / r.packages;
        std::printf("%-14s %8d %9.2f %10.1f %10.3f %12.3f", r.name, r.packages, r.wallSeconds,
                    r.packages / r.wallSeconds, msPerPackage, r.cpuSeconds * 1000.0 / r.packages);
        if (options.wireTime)
            std::printf(" %10.2f %7.3f", r.wireMsPerPackage, msPerPackage / r.wireMsPerPackage);
        std::printf(" %8d %8d\n", r.retries, r.failures);
    }
}

int Run(const Options& options)
{
    SimProcess sim;
    if (!sim.Start(options.wireTime ? QStringList{QStringLiteral("--wire-time")} : QStringList{})) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", qPrintable(sim.ErrorString()));
        return 1;
    }
    const std::unique_ptr<TQelmIBusComm> link = MakeRegisterLink();
    link->SetCommName(SimProcess::PortName());
    link->SetBaudRate(TQelmIBusComm::tbr115200);
    link->SetRetryInterval(1000);
    link->SetRetryCount(10);
    link->SetTraceEnabled(options.trace);
    link->SetActive(true);
    if (!link->LogIn(TQelmIBusComm::kAccessCode)) {
        std::fprintf(stderr, "the simulator did not accept the log-in\n");
        return 1;
    }

    constexpr int kFrame = int(Frame::kWireBytes);
    QList<Result> results;
    results << Measure("SendPacket", *link, options.count, WireMs(kFrame, 1), [&link](int i) {
        link->PacketData().fill(quint8(i));
        return link->SendPacket(kParameterDownload, quint16(i % 2));
    });
    results << Measure("RequestPacket", *link, options.count, WireMs(kFrame, kFrame), [&link](int i) {
        return link->RequestPacket(kParameterUpload, quint16(i % 2));
    });

    link->LogOut(TQelmIBusComm::kAccessCode, 0);
    link->SetActive(false);
    PrintTable(results, options);
    return sim.Stop() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!ParseOptions(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: bench_link_throughput [--count N] [--wire-time] [--no-trace]\n");
        return 2;
    }
    return Run(options);
}
