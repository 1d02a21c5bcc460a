#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "kv_Exception.h"
#include "platform/os/Program.h"

namespace {

const char* const kMessages =
    "[TFDSWrapperBook]\n"
    "1=Первая строка\\nвторая строка\n"
    "[DbArchiver]\n"
    "1=Файл не найден.\n"
    "2=Двойной \\\\n слеш\n"
    "3=\n"
    "0=Нулевой код\n"
    "-5=Отрицательный код\n";

void writeCp1251(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringEncoder("windows-1251").encode(text));
}

QString textOf(const QString& section, int code, const QString& extra = QString()) {
    return utl::KVException(section, code, extra).message();
}

class KVExceptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        os::setProgramFile(bin() + QStringLiteral("/Tolvanix"));
        utl::KVException::forgetMsgFile();
    }
    void TearDown() override {
        os::setProgramFile(QString());
        utl::KVException::forgetMsgFile();
    }
    QString bin() const { return dir_.filePath(QStringLiteral("a/bin")); }
    QString besideProgram() const { return bin() + QStringLiteral("/kvlib.msg"); }

    QTemporaryDir dir_;
};

TEST_F(KVExceptionTest, MessagesComeFromTheFile) {
    writeCp1251(besideProgram(), QString::fromUtf8(kMessages));
    const QString trailer =
        utl::placeTrailer(QStringLiteral("TBookForm::setMode"), QStringLiteral("Book"), 354);
    EXPECT_EQ(trailer, QStringLiteral("\n\nFunc: TBookForm::setMode()\nLine: Book:354\n\n"));
    struct Case {
        const char* section;
        int code;
        QString extra;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"TFDSWrapperBook", 1, QString(), "Первая строка\nвторая строка"},
        {"TFDSWrapperBook", 1, trailer,
         "Первая строка\nвторая строка\n\nFunc: TBookForm::setMode()\nLine: Book:354\n\n"},
        {"tfdswrapperbook", 1, QString(), "Первая строка\nвторая строка"},
        {"DbArchiver", 2, QString(), "Двойной \\\n слеш"},  // backslash, backslash, n
        {"DbArchiver", 4, QStringLiteral("\n/db/x.fdb"), "Cant't read DbArchiver.4 message\n/db/x.fdb"},
        {"DbArchiver", 3, QStringLiteral("extra alone"), "extra alone"},  // present but empty
        {"DbArchiver", 0, QString(), "Нулевой код"},
        {"DbArchiver", -5, QString(), "Отрицательный код"},
        {"Zipper", 2, QString(), "Cant't read Zipper.2 message"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(QString::fromUtf8(c.section), c.code, c.extra), QString::fromUtf8(c.expected))
            << c.section << "." << c.code;

    const utl::KVException e(QStringLiteral("DbArchiver"), -5, QStringLiteral("!"));
    EXPECT_EQ(e.section(), QStringLiteral("DbArchiver"));
    EXPECT_EQ(e.code(), QStringLiteral("-5"));
    EXPECT_EQ(e.extra(), QStringLiteral("!"));
    EXPECT_EQ(e.msgFileName(), besideProgram());
}

TEST_F(KVExceptionTest, ThrownAndCaughtByValue) {
    writeCp1251(besideProgram(), QString::fromUtf8(kMessages));
    try {
        throw utl::KVException(QStringLiteral("DbArchiver"), 1, QStringLiteral(" x"));
    } catch (const utl::KVException& caught) {
        const utl::KVException e = caught;  // handlers keep copies
        EXPECT_EQ(e.message(), QStringLiteral("Файл не найден. x"));
        EXPECT_EQ(e.section(), QStringLiteral("DbArchiver"));
        EXPECT_EQ(e.code(), QStringLiteral("1"));
        EXPECT_EQ(e.extra(), QStringLiteral(" x"));
        EXPECT_STREQ(e.what(), "Файл не найден. x");
    }
    EXPECT_THROW(throw utl::KVException(QStringLiteral("DbArchiver"), 1), core::Exception);
}

TEST_F(KVExceptionTest, MissingFileRaisesAPlainException) {
    try {
        utl::KVException e(QStringLiteral("DbArchiver"), 1);
        FAIL() << "built without a message file";
    } catch (const utl::KVException&) {
        FAIL() << "the library exception itself came through";
    } catch (const core::Exception& e) {
        EXPECT_EQ(
            e.message(),
            QStringLiteral("Can't find KVLib messages file 'kvlib.msg' - put this file into program dir"));
    }
    // The failed search remembered nothing: once the file is there, it is found.
    writeCp1251(besideProgram(), QString::fromUtf8(kMessages));
    EXPECT_EQ(textOf(QStringLiteral("DbArchiver"), 1), QStringLiteral("Файл не найден."));
}

TEST_F(KVExceptionTest, TheFoundPlaceIsRememberedForGood) {
    writeCp1251(besideProgram(), QString::fromUtf8(kMessages));
    EXPECT_EQ(textOf(QStringLiteral("DbArchiver"), 1), QStringLiteral("Файл не найден."));
    ASSERT_TRUE(QFile::remove(besideProgram()));
    // A copy in the development tree is not looked for again; the remembered file reads as empty.
    writeCp1251(dir_.filePath(QStringLiteral("Source/AppRequired/kvlib.msg")), QString::fromUtf8(kMessages));
    EXPECT_EQ(textOf(QStringLiteral("DbArchiver"), 1), QStringLiteral("Cant't read DbArchiver.1 message"));
}

TEST_F(KVExceptionTest, DevelopmentTreePlacesInOrder) {
    const std::vector<QString> places = {
        QStringLiteral("a/Source/Components/KVLib/Source/AppRequired/kvlib.msg"),  // <bin>/../Source/...
        QStringLiteral("Source/AppRequired/kvlib.msg"),                            // <bin>/../../Source/...
    };
    for (const QString& place : places)
        writeCp1251(dir_.filePath(place), QStringLiteral("[S]\n1=") + place + u'\n');
    EXPECT_EQ(textOf(QStringLiteral("S"), 1), places[0]);

    utl::KVException::forgetMsgFile();
    QFile::remove(dir_.filePath(places[0]));
    EXPECT_EQ(textOf(QStringLiteral("S"), 1), places[1]);

    utl::KVException::forgetMsgFile();
    writeCp1251(besideProgram(), QStringLiteral("[S]\n1=beside\n"));
    EXPECT_EQ(textOf(QStringLiteral("S"), 1), QStringLiteral("beside"));
}

TEST(ShippedMessageFileTest, EveryCodeTheProgramRaisesHasItsText) {
    os::setProgramFile(QString());
    utl::KVException::forgetMsgFile();
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/kvlib.msg");
    EXPECT_EQ(utl::KVException(QStringLiteral("DbArchiver"), 1).msgFileName(), beside);

    QFile copy(beside), source(QStringLiteral(KVLIB_MSG_SOURCE));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = copy.readAll();
    EXPECT_EQ(bytes, source.readAll());
    // Windows-1251 on disk: not UTF-8, and Cyrillic once decoded.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8.decode(bytes);
    EXPECT_TRUE(utf8.hasError());

    const std::vector<std::pair<const char*, std::vector<int>>> raised = {
        {"TFDSWrapperBook", {1}},
        {"DbArchiver", {1, 2, 3, 4, 6}},
        {"Zipper", {2, 3}},
    };
    for (const auto& [section, codes] : raised) {
        for (int code : codes) {
            const QString text = textOf(QString::fromLatin1(section), code);
            EXPECT_FALSE(text.trimmed().isEmpty()) << section << "." << code;
            EXPECT_FALSE(text.startsWith(QStringLiteral("Cant't read"))) << section << "." << code;
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("[А-Яа-я]"))))
                << section << "." << code;
        }
    }
    // Code 2 of the archiver is followed directly by the folder path: its text ends with a line break.
    EXPECT_TRUE(textOf(QStringLiteral("DbArchiver"), 2).endsWith(u'\n'));
    utl::KVException::forgetMsgFile();
}

}  // namespace
