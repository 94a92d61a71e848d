#include "NamedPipe.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

namespace {
constexpr std::chrono::seconds kPatience(1);
}  // namespace

NamedPipe::NamedPipe(std::string path) : m_path(std::move(path)), m_made(mkfifo(m_path.c_str(), 0644) == 0) {}

NamedPipe::~NamedPipe() {
    if (m_made) unlink(m_path.c_str());
}

bool NamedPipe::RunsWithoutWaiting(std::function<void()> work) const {
    std::packaged_task<void()> task(std::move(work));
    std::future<void> done = task.get_future();
    std::thread runner(std::move(task));
    const bool inTime = done.wait_for(kPatience) == std::future_status::ready;
    if (inTime) {
        runner.join();
    } else {
        runner.detach();
    }
    return inTime;
}

size_t NamedPipe::OpenDescriptors() {
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) count += entry.exists() ? 1 : 0;
    return count;
}
