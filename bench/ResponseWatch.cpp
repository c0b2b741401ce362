#include "ResponseWatch.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr DWORD pingInterval = 20;
// Long enough for any action here: a window that stays silent longer is
// taken for gone.
constexpr UINT answerTimeout = 10 * 60 * 1000;

double counterSeconds(std::int64_t ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

std::string eventName() {
    return "tabulo-response-watch-" + std::to_string(GetCurrentProcessId());
}

} // namespace

ResponseWatch::ResponseWatch(HWND window, const std::string& pings, const std::function<void()>& drain)
    : pings_(pings) {
    std::string name = eventName();
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    char handle[32];
    std::snprintf(handle, sizeof handle, "%llu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    child_ = std::make_unique<ChildProcess>(std::string("watch ") + handle + " \"" + pings + "\" " + name);
    while (child_->started() &&
           MsgWaitForMultipleObjects(1, &ready, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        drain();
    CloseHandle(ready);
}

std::int64_t ResponseWatch::now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

void ResponseWatch::mark(const std::string& figure, std::int64_t start, std::int64_t end) {
    spans_.push_back({"unanswered_" + figure, start, end});
}

// A message waited while an action ran when the two times overlap.
std::vector<Figure> ResponseWatch::figures() {
    child_->wait();
    std::vector<std::pair<std::int64_t, std::int64_t>> pings;
    if (std::FILE* in = std::fopen(pings_.c_str(), "r")) {
        long long sent, answered;
        while (std::fscanf(in, "%lld %lld", &sent, &answered) == 2)
            pings.emplace_back(sent, answered);
        std::fclose(in);
    }
    std::vector<Figure> figures;
    for (const Span& span : spans_) {
        std::int64_t longest = 0;
        for (auto [sent, answered] : pings)
            if (sent < span.end && answered > span.start)
                longest = std::max(longest, answered - sent);
        figures.push_back({span.figure, counterSeconds(longest)});
    }
    return figures;
}

int ResponseWatch::watch(HWND window, const char* pings, const char* readyEvent) {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent);
    std::vector<std::pair<std::int64_t, std::int64_t>> times;
    for (;;) {
        std::int64_t sent = now();
        DWORD_PTR result;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, answerTimeout, &result))
            break;
        times.emplace_back(sent, now());
        if (times.size() == 1 && ready)
            SetEvent(ready);
        Sleep(pingInterval);
    }
    if (ready)
        CloseHandle(ready);
    std::FILE* out = std::fopen(pings, "w");
    if (!out)
        return 1;
    for (auto [sent, answered] : times)
        std::fprintf(out, "%lld %lld\n", static_cast<long long>(sent), static_cast<long long>(answered));
    return std::fclose(out) == 0 ? 0 : 1;
}
