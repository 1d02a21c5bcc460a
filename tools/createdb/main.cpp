// Creates a new Tolvanix database from the schema and seed scripts, optionally with demo data.
//   tolvanix-createdb [--demo] [--db-dir DIR] DATABASE_FILE

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/fb/LockFolder.h"
#include "platform/fb/Script.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    bool demo = false;
    QString dbDir = QStringLiteral(TOLV_SOURCE_DIR) + QStringLiteral("/db");
    QString target;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--demo")) {
            demo = true;
        } else if (args[i] == QStringLiteral("--db-dir") && i + 1 < args.size()) {
            dbDir = args[++i];
        } else if (target.isEmpty() && !args[i].startsWith(u'-')) {
            target = args[i];
        } else {
            target.clear();
            break;
        }
    }
    if (target.isEmpty()) {
        err << "usage: tolvanix-createdb [--demo] [--db-dir DIR] DATABASE_FILE\n";
        return 2;
    }
    const QFileInfo info(target);
    if (info.exists()) {
        err << "tolvanix-createdb: " << target << " already exists; it is left as it is\n";
        return 1;
    }
    QDir().mkpath(info.absolutePath());
    // The program's own lock folder, so that the two never open one file at once.
    fb::prepareLockFolder();
    QStringList folders = {QStringLiteral("schema"), QStringLiteral("seed")};
    if (demo) folders << QStringLiteral("demo");
    try {
        fb::Database db(info.absoluteFilePath());
        db.create();
        for (const QString& sub : folders) {
            const QString folder = dbDir + u'/' + sub;
            if (!QDir(folder).exists()) continue;
            for (const QString& name : fb::runScriptFolder(db, folder)) out << sub << '/' << name << '\n';
        }
        db.close();
    } catch (const core::Exception& e) {
        err << "tolvanix-createdb: " << e.message() << '\n';
        QFile::remove(info.absoluteFilePath());
        return 1;
    }
    out << "created " << info.absoluteFilePath() << '\n';
    return 0;
}
