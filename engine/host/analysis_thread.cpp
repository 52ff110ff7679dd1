#include "engine/host/analysis_thread.h"

#include <utility>

namespace tf {

AnalysisThread::AnalysisThread(std::function<void()> work)
    : thread_([this, work = std::move(work)] {
        work();
        finished_.store(true, std::memory_order_release);
      }) {}

AnalysisThread::~AnalysisThread() { thread_.join(); }

}  // namespace tf
