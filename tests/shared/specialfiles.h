#pragma once
// Files a reader must refuse before reading them whole: a FIFO (opening it waits for
// a writer), a link to a device node that reads without end, and a sparse file that
// starts with some text (its size costs no disk).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace specialfiles {

inline bool fifo(const QString& path)
{
    return mkfifo(QFile::encodeName(path).constData(), 0666) == 0;
}

// A character device node with the null device's numbers, of our own: a test that
// sees it replaced never touched the system's. False where nodes cannot be made.
inline bool nullDeviceNode(const QString& path)
{
    return mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

// A device node of our own (`device`) or a FIFO at `special`, and at `target` a link
// to it unless the two are one path. False where the node cannot be made.
inline bool nodeAt(const QString& special, bool device, const QString& target)
{
    if (!(device ? nullDeviceNode(special) : fifo(special)))
        return false;
    return target == special || QFile::link(special, target);
}

// Whether `path` itself (not what a link names) is a character device or a FIFO.
inline bool isNode(const QString& path, bool device)
{
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0
        && (device ? S_ISCHR(info.st_mode) : S_ISFIFO(info.st_mode));
}

inline bool linkToEndlessDevice(const QString& path)
{
    return QFile::link(QStringLiteral("/dev/zero"), path);
}

inline bool sparse(const QString& path, const QByteArray& head, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(head) == head.size() && file.resize(size);
}

// Once `afterMs` have passed, opens the FIFOs for writing every 20 ms, writing
// `payload` into each one a reader holds open, until destroyed: a reader blocked
// opening one goes on instead of hanging, and readersFound() tells the test it was
// there (a wait costs no CPU time, so no time bound sees it). A reader that closes
// before the write raises SIGPIPE, which is kept to this thread.
class FifoWriter {
public:
    FifoWriter(const QStringList& fifos, int afterMs, const QByteArray& payload = QByteArray())
        : m_thread([this, fifos, afterMs, payload] {
              sigset_t pipe;
              sigemptyset(&pipe);
              sigaddset(&pipe, SIGPIPE);
              pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
              std::unique_lock<std::mutex> lock(m_mutex);
              if (m_wake.wait_for(lock, std::chrono::milliseconds(afterMs), [this] { return m_stop; }))
                  return;
              while (!m_stop) {
                  for (const QString& fifo : fifos) {
                      const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                      if (fd < 0)
                          continue;
                      ++m_readersFound;
                      if (!payload.isEmpty() && ::write(fd, payload.constData(), size_t(payload.size())) < 0) {
                          const timespec now{0, 0};
                          sigtimedwait(&pipe, nullptr, &now);
                      }
                      ::close(fd);
                  }
                  m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stop; });
              }
          })
    {
    }
    ~FifoWriter()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    // How often a reader held one of the FIFOs open when the writer came: a reader
    // that refuses them without opening (or waiting on) one leaves it at 0.
    int readersFound() const { return m_readersFound; }

private:
    std::atomic<int> m_readersFound{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace specialfiles
