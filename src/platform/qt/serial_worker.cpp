#include "platform/qt/serial_worker.h"

#include "platform/child_process.h"

#include <exception>

namespace zub {

SerialWorker::SerialWorker(QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(1);
}

SerialWorker::~SerialWorker() {
    cancelAll();
    m_pool.waitForDone();
}

void SerialWorker::post(Job job) {
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_flags, [](const auto& flag) { return flag.expired(); });
        m_flags.push_back(cancelled);
    }
    ++m_unfinished;
    m_pool.start([this, job = std::move(job), cancelled] {
        Finish finish;
        {
            const CancelScope scope(cancelled.get());
            try {
                finish = job(*cancelled);
            } catch (...) {
                finish = [error = std::current_exception()] { std::rethrow_exception(error); };
            }
        }
        // Queued to this object: dropped with it if it is destroyed first.
        QMetaObject::invokeMethod(
            this,
            [this, finish = std::move(finish)] {
                --m_unfinished;
                if (!finish) return;
                if (m_delivery) {
                    m_delivery(finish);
                    return;
                }
                try {
                    finish();
                } catch (...) {
                    // Nobody to tell: nothing may be thrown through the event loop.
                }
            },
            Qt::QueuedConnection);
    });
}

void SerialWorker::cancelAll() {
    const std::lock_guard lock(m_mutex);
    for (const auto& weak : m_flags)
        if (const auto flag = weak.lock()) flag->store(true);
}

} // namespace zub
