#include "BenchSupport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <fstream>
#include <string>

namespace bench {

namespace {
double statusFieldMB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ':';
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stod(line.substr(prefix.size())) / 1024.0; // kB
    }
    return 0.0;
}
} // namespace

double residentMB() {
    return statusFieldMB("VmRSS");
}
double peakResidentMB() {
    return statusFieldMB("VmHWM");
}

void report(const char* name, double value) {
    std::printf("%s=%.3f\n", name, value);
    std::fflush(stdout);
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void useOffscreenPlatform() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace bench
