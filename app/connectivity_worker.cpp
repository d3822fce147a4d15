#include "app/connectivity_worker.h"

#include <utility>

#include "app/connectivity.h"
#include "platform/win32/handles.h"

namespace brenvik {

namespace {

struct CheckJob {
    HWND hTarget;
    UINT message;
    LPARAM tag;
    std::unique_ptr<NameService> names;
};

DWORD WINAPI CheckThreadProc(LPVOID parameter) {
    const std::unique_ptr<CheckJob> job(static_cast<CheckJob*>(parameter));
    const int answer = CheckBannerConnectivity(job->hTarget, *job->names);
    // Fails harmlessly when the window is gone.
    PostMessageA(job->hTarget, job->message, static_cast<WPARAM>(answer), job->tag);
    return 0;
}

}  // namespace

bool StartConnectivityCheck(HWND hTarget, UINT message, LPARAM tag,
                            std::unique_ptr<NameService> names) {
    auto job = std::make_unique<CheckJob>(CheckJob{hTarget, message, tag, std::move(names)});
    // Never waited for: a lookup may hang far longer than the program runs.
    const UniqueHandle worker(CreateThread(nullptr, 0, CheckThreadProc, job.get(), 0, nullptr));
    if (!worker) {
        return false;
    }
    job.release();
    return true;
}

}  // namespace brenvik
