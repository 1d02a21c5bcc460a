#include "RegisterSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QStringDecoder>
#include <QStringEncoder>
#include <chrono>
#include <cstdlib>

namespace frsim {

namespace {
QString decode866(const QByteArray& bytes) {
    return QStringDecoder("IBM866").decode(bytes);
}
}  // namespace

QByteArray RegisterSimulator::encode(const QString& text) {
    return QStringEncoder("IBM866").encode(text);
}

QByteArray RegisterSimulator::block(const QString& text) {
    const QByteArray body = encode(text);
    return QByteArray(1, char(0xFD)) + body + char(body.size() + 1) + char(0xFE);
}

RegisterSimulator::RegisterSimulator() : schemes_(8) {
    schemes_[0] = {QStringLiteral("20260101"), 0, 2000};
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) std::abort();
    slavePath_ = QString::fromLocal8Bit(::ptsname(master_));
    // Held open by the register itself, so the line stays up between the driver's opens; raw, so
    // nothing is echoed or translated before the driver sets the line up.
    slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    thread_ = std::thread([this] { run(); });
}

RegisterSimulator::~RegisterSimulator() {
    stop_ = true;
    thread_.join();
    ::close(slave_);
    ::close(master_);
}

void RegisterSimulator::script(const QString& prefix, Script script) {
    std::lock_guard lock(mutex_);
    scripts_.emplace_back(prefix, std::move(script));
}

QStringList RegisterSimulator::log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

std::vector<QByteArray> RegisterSimulator::frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

int RegisterSimulator::badLengths() const {
    std::lock_guard lock(mutex_);
    return badLengths_;
}

void RegisterSimulator::clearLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
    frames_.clear();
}

void RegisterSimulator::setDate(const QString& yyyymmdd) {
    std::lock_guard lock(mutex_);
    date_ = yyyymmdd;
}

void RegisterSimulator::setScheme(int index, Scheme scheme) {
    std::lock_guard lock(mutex_);
    schemes_[std::size_t(index - 1)] = std::move(scheme);
}

Scheme RegisterSimulator::scheme(int index) const {
    std::lock_guard lock(mutex_);
    return schemes_[std::size_t(index - 1)];
}

QString RegisterSimulator::header() const {
    std::lock_guard lock(mutex_);
    return header_;
}

QString RegisterSimulator::currency() const {
    std::lock_guard lock(mutex_);
    return currency_;
}

int RegisterSimulator::decimals() const {
    std::lock_guard lock(mutex_);
    return decimals_;
}

void RegisterSimulator::run() {
    while (!stop_) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, 5) <= 0 || !(pfd.revents & POLLIN)) continue;
        char buf[512];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) continue;
        input_.append(buf, n);
        while (!input_.isEmpty()) {
            if (input_[0] != char(0xFD)) {
                std::lock_guard lock(mutex_);
                if (input_[0] == 'U') log_ << QStringLiteral("U");
                input_.remove(0, 1);
                continue;
            }
            const qsizetype end = input_.indexOf(char(0xFE));
            if (end < 0) break;
            const QByteArray frame = input_.left(end + 1);
            input_.remove(0, end + 1);
            QByteArray text = frame.mid(1, frame.size() - 3);
            {
                std::lock_guard lock(mutex_);
                frames_.push_back(frame);
                if (quint8(frame[frame.size() - 2]) != quint8(text.size() + 1)) ++badLengths_;
            }
            handle(text);
        }
    }
}

QString RegisterSimulator::confPacket() const {
    QString conf = QStringLiteral("CONf");
    conf += QStringLiteral("0000000001") + QStringLiteral("0000000002") + QString(36, QLatin1Char('X'));
    conf += date_ + QStringLiteral("120000") + QStringLiteral("000") + QStringLiteral("0001") +
            QStringLiteral("0");
    conf += QStringLiteral("ЗН0000000001") + QStringLiteral("123456789012");
    conf += QStringLiteral("0000") + QStringLiteral("0000") + QStringLiteral("00000000");
    conf += header_.left(18).leftJustified(18, QLatin1Char(' '));
    conf += QStringLiteral("00000000") + QString::number(decimals_) +
            currency_.left(3).leftJustified(3, QLatin1Char(' '));
    return conf;
}

QString RegisterSimulator::cnalPacket() const {
    QString cnal = QStringLiteral("CNAL");
    for (int i = 0; i < 8; ++i) {
        const Scheme& s = schemes_[std::size_t(i)];
        cnal += s.date.left(8) + QChar(0x0410 + i) + QString::number(s.type) +
                QString::number(s.rate).rightJustified(4, QLatin1Char('0'));
    }
    return cnal;
}

void RegisterSimulator::handle(const QByteArray& bytes) {
    const QString text = decode866(bytes);
    Script script;
    QStringList packets;
    {
        std::lock_guard lock(mutex_);
        log_ << text;
        for (auto it = scripts_.begin(); it != scripts_.end(); ++it) {
            if (text.startsWith(it->first)) {
                script = it->second;
                scripts_.erase(it);
                break;
            }
        }
        if (text.startsWith(QLatin1String("CONf")))
            packets << confPacket();
        else if (text.startsWith(QLatin1String("CNAL")))
            packets << cnalPacket();
        else if (text.startsWith(QLatin1String("HEAD")))
            header_ = text.mid(4);
        else if (text.startsWith(QLatin1String("MMON"))) {
            decimals_ = text.mid(4, 1).toInt();
            currency_ = text.mid(5);
        } else if (text.startsWith(QLatin1String("NALG"))) {
            const int index = text.at(4).unicode() - 0x0410;
            if (index >= 0 && index < 8)
                schemes_[std::size_t(index)] = {date_, text.mid(5, 1).toInt(), text.mid(6, 4).toInt()};
        }
    }
    if (script.silent) return;
    if (script.replacePackets)
        packets = script.packets;
    else
        packets += script.packets;
    QByteArray reply = script.before;
    for (const QString& p : packets) reply += block(p);
    if (!script.noReady) {
        const QByteArray ready = block(QStringLiteral("READY"));
        reply += script.cut ? ready.left(4) : ready;
    }
    if (!script.cut) reply += script.after;
    writeAll(reply, script.byteByByte);
}

void RegisterSimulator::writeAll(const QByteArray& bytes, bool byteByByte) {
    if (!byteByByte) {
        if (!bytes.isEmpty()) (void)!::write(master_, bytes.constData(), std::size_t(bytes.size()));
        return;
    }
    for (char c : bytes) {
        (void)!::write(master_, &c, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace frsim
