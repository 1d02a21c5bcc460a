#pragma once
// A fiscal register on the master side of a pseudo-terminal, for the driver to open the slave side.
// It decodes the framed commands, checks their length bytes, logs each command's text (an unframed
// sync character as "U"), answers READY, serves the configuration and the tax schemes, keeps what
// NALG, HEAD and MMON set, and misbehaves on request, one command at a time.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace frsim {

// How the register answers one command; a fresh one answers well.
struct Script {
    bool silent = false;  // no reply at all
    QStringList packets;  // blocks before READY, in place of the register's own reply
    bool replacePackets = false;
    bool noReady = false;     // the blocks but no READY
    bool cut = false;         // the READY block broken off in its middle
    QByteArray before;        // raw bytes before the reply
    QByteArray after;         // raw bytes after the READY block
    bool byteByByte = false;  // every byte written on its own
};

struct Scheme {
    QString date = QStringLiteral("20260101");
    int type = 0;
    int rate = 0;
};

class RegisterSimulator {
public:
    RegisterSimulator();
    ~RegisterSimulator();
    RegisterSimulator(const RegisterSimulator&) = delete;
    RegisterSimulator& operator=(const RegisterSimulator&) = delete;

    QString path() const { return slavePath_; }

    // The next command beginning with the prefix is answered so.
    void script(const QString& prefix, Script script);
    // Each command received, decoded; an unframed "U" as "U".
    QStringList log() const;
    // The raw bytes of each frame received, markers included.
    std::vector<QByteArray> frames() const;
    int badLengths() const;
    void clearLog();

    void setDate(const QString& yyyymmdd);
    void setScheme(int index, Scheme scheme);
    Scheme scheme(int index) const;
    QString header() const;
    QString currency() const;
    int decimals() const;

    static QByteArray block(const QString& text);
    static QByteArray encode(const QString& text);

private:
    void run();
    void handle(const QByteArray& text);
    QString confPacket() const;
    QString cnalPacket() const;
    void writeAll(const QByteArray& bytes, bool byteByByte);

    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    std::thread thread_;
    std::atomic<bool> stop_{false};

    mutable std::mutex mutex_;
    QByteArray input_;
    QStringList log_;
    std::vector<QByteArray> frames_;
    std::vector<std::pair<QString, Script>> scripts_;
    int badLengths_ = 0;
    QString date_ = QStringLiteral("20260315");
    QString header_ = QStringLiteral("ЛОМБАРД");
    QString currency_ = QStringLiteral("ГРН");
    int decimals_ = 2;
    std::vector<Scheme> schemes_;
};

}  // namespace frsim
