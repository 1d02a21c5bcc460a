#pragma once
// A serial line opened by its device path, with its bytes delivered through the event loop. The
// register driver's waits process events, which is when received bytes reach its handler.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "platform/core/Exception.h"

namespace serial {

// The port could not be opened, set up or written; the text is the system's reason.
class PortError : public core::Exception {
public:
    using core::Exception::Exception;
};

enum class Parity { None, Even, Odd };

struct LineSettings {
    qint32 baudRate = 57600;
    int dataBits = 8;
    int stopBits = 2;
    Parity parity = Parity::Even;
    bool parityCheck = true;
    bool dtr = true;
};

class Port {
public:
    using Receiver = std::function<void(const QByteArray&)>;

    Port();
    ~Port();
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // Opens the device with the settings. A pseudo-terminal cannot take parity or DTR, so those two
    // are skipped there; on any other device a refused setting is a PortError, the port left closed.
    void open(const QString& path, const LineSettings& settings);
    void close();
    bool isOpen() const;
    void setDtr(bool on);
    // Writes the bytes and waits until they have left for the device.
    void write(const QByteArray& bytes);
    // Drops whatever was received and not yet read.
    void drain();
    // Called with each chunk of received bytes while events are processed.
    void setReceiver(Receiver receiver);

    static bool isPseudoTerminal(const QString& path);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace serial
