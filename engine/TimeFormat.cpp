#include "engine/TimeFormat.h"

#include "platform/Text.h"

namespace vexlo {

std::string FormatPTS(int64_t t) {
    // Divisions cut toward zero, as C++ integer division does.
    long long h = t / 3600000000LL;
    long long m = (t / 60000000LL) % 60;
    long long s = (t / 1000000LL) % 60;
    long long ms = ((t % 1000000LL) * 1000) / 1000000LL;
    return Format("%.2lld:%.2lld:%.2lld.%.3lld", h, m, s, ms);
}

std::string FormatTime(int64_t t) { return t == kNoPTS ? "N/A" : FormatPTS(t); }

}  // namespace vexlo
