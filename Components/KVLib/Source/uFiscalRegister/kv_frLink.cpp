// The serial link of the register: connecting, framing, cutting replies into packets and waiting.
#include <QCoreApplication>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QThread>

#include "kv_fiscalRegister.h"
#include "kv_frCommon.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/serial/SerialPort.h"

namespace KassRegister {

QString noSignalText() {
    return frText(QStringLiteral("kv_fiscalRegister.FRNoSignal"),
                  QStringLiteral("Нет сигнала от Фиск. регистратора"));
}

void PacketParser::reset() {
    buffer_.clear();
    packets_.clear();
    complete_ = false;
    noise_ = false;
}

void PacketParser::inputBytes(const QByteArray& bytes) {
    // The reply ends at its READY block; anything after it is not part of it.
    if (complete_) return;
    if (buffer_.isEmpty() && packets_.isEmpty() && bytes == settings_.syncText) {
        if (onAnswer) onAnswer(*this);
        return;
    }
    buffer_ += bytes;
    while (!buffer_.isEmpty()) {
        const qsizetype s = buffer_.indexOf(settings_.blockStart);
        if (s < 0) {
            noise_ = true;
            buffer_.clear();
            break;
        }
        if (s > 0) {
            noise_ = true;
            buffer_.remove(0, s);
            continue;
        }
        const qsizetype e = buffer_.indexOf(settings_.blockEnd);
        if (e < 0) break;
        // A second block start before the end: the first block was cut short.
        const qsizetype next = buffer_.indexOf(settings_.blockStart, 1);
        if (next >= 0 && next < e) {
            noise_ = true;
            buffer_.remove(0, next);
            continue;
        }
        QByteArray body = buffer_.mid(1, e - 1);
        body.chop(1);  // the length byte
        buffer_.remove(0, e + 1);
        const QString packet = frcodec::decode(body);
        packets_ << packet;
        if (onPacket) onPacket(packet);
        if (packet == settings_.endOfReply) {
            complete_ = true;
            buffer_.clear();
            if (onAnswer) onAnswer(*this);
            break;
        }
    }
}

void FRMariya::pause(int ms) {
    QThread::msleep(static_cast<unsigned long>(std::max(ms, 0)));
    // Received bytes arrive through the event loop; the user's input waits until the command is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool FRMariya::isPortConnected() const {
    return port_->isOpen();
}

void FRMariya::open() {
    if (connected_) return;
    try {
        serial::LineSettings line;
        line.baudRate = settings_.baudRate;
        line.dataBits = settings_.dataBits;
        line.stopBits = settings_.stopBits;
        line.parity = settings_.parityEven ? serial::Parity::Even : serial::Parity::None;
        line.parityCheck = settings_.parityCheck;
        line.dtr = true;
        port_->open(portPath(settings_.portName), line);
        for (int i = 0; i < 3; ++i) {
            pause(timeout_ / 10);
            port_->write(settings_.syncText);
        }
        pause(timeout_ / 10);
    } catch (const serial::PortError& e) {
        throw FRNoSignal(frText(QStringLiteral("kv_fiscalRegister.FRNoSignal.Message"),
                                QStringLiteral("Нет сигнала от Фиск. регистратора\nошибка при подключении к "
                                               "COM-порту:")) +
                             QStringLiteral("\n\n") + e.message(),
                         this);
    }
    connected_ = true;
    transact(QStringLiteral("SYNC"));
}

void FRMariya::close() {
    if (!connected_) return;
    connected_ = false;
    port_->setDtr(false);
    pause(timeout_ / 10);
    port_->close();
}

bool FRMariya::checkConnection() {
    connected_ = false;
    if (port_->isOpen()) {
        transact(QStringLiteral("SYNC"));
        connected_ = true;
    }
    return connected_;
}

QString FRMariya::send(const QString& command) {
    const QByteArray framed = frcodec::frame(command);
    try {
        port_->write(framed);
    } catch (const serial::PortError& e) {
        throw FRNoSignal(noSignalText() + QStringLiteral("\n\n") + e.message(), this);
    }
    return QString::fromLatin1(framed);
}

QString FRMariya::transact(const QString& command) {
    // One command at a time: a second one sent while a reply is awaited would be taken for its answer.
    if (busy_)
        throw core::Exception(frText(QStringLiteral("kv_fiscalRegister.FRMariya.transact.Busy"),
                                     QStringLiteral("Фискальный регистратор занят: предыдущая команда ещё "
                                                    "выполняется")));
    busy_ = true;
    const auto notBusy = qScopeGuard([this] { busy_ = false; });

    // Whatever is left of an earlier reply must not be read as this one's.
    parser_->reset();
    port_->drain();
    const QString framed = send(command);

    bool interrupted = false;
    {
        ui::busyCursor().push();
        const auto restore = qScopeGuard([] { ui::busyCursor().pop(); });
        for (int attempt = 0; attempt < 41 && !parser_->complete() && !interrupted; ++attempt) {
            pause(timeout_ / 10);
            if (!parser_->receiving()) continue;
            for (int slice = 0; slice < 20 && !parser_->complete(); ++slice) pause(timeout_ / 5);
            interrupted = !parser_->complete();
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // Noise is shown once the wait is over, so the box's own loop cannot re-enter the parser.
    const bool noise = parser_->noise();
    const bool complete = parser_->complete();
    const QStringList packets = parser_->packets();
    if (!complete) parser_->reset();
    if (noise)
        ui::showError(frText(QStringLiteral("kv_fiscalRegister.PacketParser.inputString.Exception"),
                             QStringLiteral("Ошибка приема данных\nПакет данных должен начинаться с ")) +
                      QStringDecoder("windows-1251").decode(QByteArray(1, settings_.blockStart)));
    if (interrupted)
        throw FRNoSignal(
            noSignalText() + QLatin1Char('\n') +
                frText(QStringLiteral("kv_fiscalRegister.FRNoSignal.Interrupted"),
                       QStringLiteral("Ответ регистратора прерван: команда могла быть выполнена. "
                                      "Проверьте чек, прежде чем повторять.")),
            this);
    if (!complete) throw FRNoSignal(noSignalText(), this);

    std::set<QString> codes;
    for (const QString& packet : packets) {
        const QString head = packet.left(4);
        if (head == QLatin1String("SOFT") || head == QLatin1String("HARD")) codes.insert(packet);
    }
    if (!codes.empty()) throw FRException(std::move(codes), errors_, this);
    return framed;
}

QString FRMariya::findPacket(const QString& name) const {
    if (!parser_->complete()) return {};
    for (const QString& packet : parser_->packets())
        if (packet.left(4) == name) return packet;
    return {};
}

}  // namespace KassRegister
