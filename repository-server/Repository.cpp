#include "Repository.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "PgRepository.h"
#include "SqliteRepository.h"

namespace repo {

bool Repository::IsDatabaseAddress(const std::string& location) {
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

std::unique_ptr<Repository> Repository::Open(const std::string& location, std::string& error) {
    if (IsDatabaseAddress(location)) return PgRepository::Open(location, error);
    return SqliteRepository::Open(location, error);
}

long long Repository::NowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string Repository::FormatStamp(long long ms) {
    std::time_t secs = std::time_t(ms / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d%03d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms % 1000));
    return buf;
}

std::string Repository::FormatDate(long long ms) {
    std::time_t secs = std::time_t(ms / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

}  // namespace repo
