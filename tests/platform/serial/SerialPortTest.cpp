// The serial port over a real pseudo-terminal: bytes both ways through the event loop, parity and
// DTR skipped there, and a missing device refused with the system's reason.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/serial/SerialPort.h"

namespace {

struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QString path;
    Pty() {
        ::grantpt(master);
        ::unlockpt(master);
        path = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty() { ::close(master); }
    QByteArray read(int wanted) {
        QByteArray got;
        for (int i = 0; i < 200 && got.size() < wanted; ++i) {
            pollfd pfd{master, POLLIN, 0};
            if (::poll(&pfd, 1, 5) > 0 && (pfd.revents & POLLIN)) {
                char buf[64];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) got.append(buf, n);
            }
        }
        return got;
    }
};

TEST(SerialPortTest, BytesGoBothWaysOnAPseudoTerminal) {
    Pty pty;
    EXPECT_TRUE(serial::Port::isPseudoTerminal(pty.path));
    serial::Port port;
    QByteArray received;
    port.setReceiver([&](const QByteArray& bytes) { received += bytes; });
    port.open(pty.path, serial::LineSettings{});
    ASSERT_TRUE(port.isOpen());

    const QByteArray out(
        "\xFD"
        "SYNC\x05\xFE",
        7);
    port.write(out);
    EXPECT_EQ(pty.read(7), out);

    const QByteArray in("\xFDREADY\x06\xFE", 8);
    ASSERT_EQ(::write(pty.master, in.constData(), std::size_t(in.size())), in.size());
    QElapsedTimer timer;
    timer.start();
    while (received.size() < in.size() && timer.elapsed() < 2000) QCoreApplication::processEvents();
    EXPECT_EQ(received, in);

    // What arrived unread is dropped, so it cannot be taken for the next reply.
    received.clear();
    ASSERT_EQ(::write(pty.master, "junk", 4), 4);
    ::usleep(20000);
    port.drain();
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.isEmpty());
    port.close();
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPortTest, AMissingDeviceIsRefusedWithItsReason) {
    serial::Port port;
    try {
        port.open(QStringLiteral("/dev/no-such-serial-port"), serial::LineSettings{});
        FAIL() << "opened";
    } catch (const serial::PortError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(serial::Port::isPseudoTerminal(QStringLiteral("/dev/null")));
    EXPECT_THROW(port.write("x"), serial::PortError);
}

}  // namespace
