#include "tests/support/PrivateServer.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>

namespace tolvtest {

namespace {

int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

}  // namespace

// The folder's name is plain ASCII whatever the application's name: the server turns a file name
// into the system's encoding, which need not hold other letters.
PrivateServer::PrivateServer()
    : dir_(QDir::tempPath() + QStringLiteral("/tolv-fbserver-XXXXXX")),
      script_(QStringLiteral(TOLV_SOURCE_DIR "/tests/support/fbserver.sh")) {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    port_ = freePort();
    QProcess p;
    p.start(QStringLiteral("bash"),
            {script_, QStringLiteral("start"), dir_.path(), QString::number(port_), sysdbaPassword()});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        error_ = QString::fromLocal8Bit(p.readAllStandardError());
        return;
    }
    started_ = true;
}

PrivateServer::~PrivateServer() {
    if (!started_) return;
    QProcess p;
    p.start(QStringLiteral("bash"), {script_, QStringLiteral("stop"), dir_.path()});
    p.waitForFinished(30000);
}

QString PrivateServer::newPassword() {
    // Letters and digits only, so that the password is also a plain SQL literal.
    static const QString alphabet =
        QStringLiteral("abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789");
    QString password;
    for (int i = 0; i < 14; ++i)
        password += alphabet.at(QRandomGenerator::global()->bounded(static_cast<int>(alphabet.size())));
    return password;
}

QString PrivateServer::sysdbaPassword() {
    static const QString password = newPassword();
    return password;
}

QString PrivateServer::host() const { return QStringLiteral("127.0.0.1/%1").arg(port_); }

QString PrivateServer::databaseUrl(const QString& fileName) const {
    return host() + u':' + dir_.path() + u'/' + fileName;
}

}  // namespace tolvtest
