#pragma once

// A pseudo-terminal pair: the slave is a real serial device for the program, the test plays
// the instrument on the master side.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        int slave = -1;
        char name[128] = {};
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return;
        // Only the program keeps the slave open, so closing the master is a real hang-up.
        ::close(slave);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
    }
    ~PtyPair() { hang_up(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool valid() const { return master_ >= 0; }
    const QString& path() const { return path_; }

    // The instrument sends.
    bool send(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t w = ::write(master_, bytes.constData() + done, bytes.size() - done);
            if (w > 0) {
                done += w;
            } else if (w < 0 && errno == EAGAIN) {
                pollfd p{master_, POLLOUT, 0};
                poll(&p, 1, 100);
            } else {
                return false;
            }
        }
        return true;
    }

    // What the program sent within `ms` milliseconds (reads until the time is up).
    QByteArray received_within(int ms) {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        for (qint64 left = ms; left > 0; left = ms - clock.elapsed()) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0)
                continue;
            char buf[512];
            const ssize_t r = ::read(master_, buf, sizeof buf);
            if (r > 0)
                got.append(buf, r);
            else if (r < 0 && errno != EAGAIN)
                break;
        }
        return got;
    }

    // The adapter is pulled out: the program's side of the line hangs up.
    void hang_up() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    QString path_;
};
