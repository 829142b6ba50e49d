#pragma once

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zub {

// Runs slow work (reading pictures from untrusted files and programs, encoding and writing
// files) on a thread of its own, one job after another in the order they were posted, and hands
// each job's outcome back to the thread this object lives on, in the same order. The window
// never waits for a job, only for its own painting.
class SerialWorker : public QObject {
    Q_OBJECT
public:
    // What a job leaves to be done on this object's thread once it has run.
    using Finish = std::function<void()>;
    // A job sees its flag turn true when it has been called off; waits for other processes
    // inside it watch the flag too (see CancelScope). An exception it throws is thrown again by
    // its Finish.
    using Job = std::function<Finish(const std::atomic<bool>& cancelled)>;
    // Runs each Finish; by default it is just called, and what it throws is dropped.
    using Delivery = std::function<void(const Finish&)>;

    explicit SerialWorker(QObject* parent = nullptr);
    // Calls off the jobs not yet finished and waits for them: a job that writes a file ends
    // its writing, one that reads a picture gives up. Their Finish is not run.
    ~SerialWorker() override;
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void setDelivery(Delivery delivery) { m_delivery = std::move(delivery); }
    void post(Job job);
    // Turns the flags of all jobs posted so far.
    void cancelAll();
    // Whether jobs are waiting or running, or Finishes waiting to run.
    bool isBusy() const { return m_unfinished > 0; }

private:
    QThreadPool m_pool;
    Delivery m_delivery;
    std::mutex m_mutex;
    std::vector<std::weak_ptr<std::atomic<bool>>> m_flags;
    int m_unfinished = 0;
};

} // namespace zub
