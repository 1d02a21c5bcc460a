#include "SerialPort.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

#include <QFile>
#include <QSerialPort>

namespace serial {

namespace {
[[noreturn]] void refuseErrno(QSerialPort& port) {
    const QString text = QString::fromLocal8Bit(std::strerror(errno));
    port.close();
    throw PortError(text);
}
}  // namespace

struct Port::Impl {
    QSerialPort port;
    Receiver receiver;
    bool pty = false;
};

Port::Port() : d_(std::make_unique<Impl>()) {
    QObject::connect(&d_->port, &QSerialPort::readyRead, [this] {
        const QByteArray bytes = d_->port.readAll();
        if (!bytes.isEmpty() && d_->receiver) d_->receiver(bytes);
    });
}

Port::~Port() {
    close();
}

bool Port::isPseudoTerminal(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    // Unix98 pseudo-terminal slaves have the majors 136 to 143.
    const unsigned int maj = major(st.st_rdev);
    return maj >= 136 && maj <= 143;
}

void Port::open(const QString& path, const LineSettings& settings) {
    close();
    d_->pty = isPseudoTerminal(path);
    QSerialPort& port = d_->port;
    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite)) throw PortError(port.errorString());
    auto refuse = [&port] {
        const QString text = port.errorString();
        port.close();
        throw PortError(text);
    };
    const auto dataBits = static_cast<QSerialPort::DataBits>(settings.dataBits);
    const auto stopBits = settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;
    if (!port.setBaudRate(settings.baudRate) || !port.setDataBits(dataBits) || !port.setStopBits(stopBits) ||
        !port.setFlowControl(QSerialPort::NoFlowControl))
        refuse();
    if (!d_->pty) {
        const auto parity = settings.parity == Parity::Even  ? QSerialPort::EvenParity
                            : settings.parity == Parity::Odd ? QSerialPort::OddParity
                                                             : QSerialPort::NoParity;
        if (!port.setParity(parity)) refuse();
        // The serial port class sets the parity bit but leaves input checking to the line: a byte that
        // fails the check is dropped, so a damaged reply never completes instead of being misread.
        termios tio{};
        if (::tcgetattr(port.handle(), &tio) != 0) refuseErrno(port);
        if (settings.parityCheck && parity != QSerialPort::NoParity) {
            tio.c_iflag |= INPCK | IGNPAR;
            tio.c_iflag &= ~PARMRK;
        } else {
            tio.c_iflag &= ~INPCK;
        }
        if (::tcsetattr(port.handle(), TCSANOW, &tio) != 0) refuseErrno(port);
        if (settings.dtr && !port.setDataTerminalReady(true)) refuse();
    }
}

void Port::close() {
    if (d_->port.isOpen()) d_->port.close();
}

bool Port::isOpen() const {
    return d_->port.isOpen();
}

void Port::setDtr(bool on) {
    if (d_->port.isOpen() && !d_->pty) d_->port.setDataTerminalReady(on);
}

void Port::write(const QByteArray& bytes) {
    QSerialPort& port = d_->port;
    if (!port.isOpen()) throw PortError(QStringLiteral("Порт не открыт"));
    if (port.write(bytes) != bytes.size()) throw PortError(port.errorString());
    while (port.bytesToWrite() > 0) {
        if (!port.waitForBytesWritten(2000)) throw PortError(port.errorString());
    }
}

void Port::drain() {
    if (!d_->port.isOpen()) return;
    d_->port.clear(QSerialPort::Input);
    d_->port.readAll();
}

void Port::setReceiver(Receiver receiver) {
    d_->receiver = std::move(receiver);
}

}  // namespace serial
